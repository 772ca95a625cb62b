#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as a player meets it: the window with its title, menu bar and a 632 x 453
# drawing area, the title screen after the opening, Down moving the selection, Enter on
# Exit ending the program with exit code 0, and File > Exit doing the same, also with a
# FIFO in the best score's place.
source "$(dirname "$0")/lib/common.bash" "$@"

# Without a display: a clear word on standard error and a non-zero exit code.
code=0
env -u DISPLAY -u WAYLAND_DISPLAY "$VEMOL_BIN" 2>"$OUT_DIR/no_display.txt" || code=$?
[ "$code" != 0 ] || fail "the program started without a display"
grep -q "display" "$OUT_DIR/no_display.txt" || fail "no word about the display on standard error"

start_game
win=$(wait_window)
eval "$(window_geometry "$win")"
[ "$WIDTH" = 632 ] || fail "window client width $WIDTH, expected 632"
menubar=$((HEIGHT - 453))
[ "$menubar" -ge 15 ] && [ "$menubar" -le 60 ] || fail "no menu bar above a 453-pixel drawing area (height $HEIGHT)"
ax=$X; ay=$((Y + menubar))

wait_title_screen "$win"
screenshot title
p=$(pixel_at title $((ax + 300)) $((ay + 100)))
[ "$p" != "0,0,0" ] || fail "the title screen is not shown after the opening (pixel $p)"

# Down moves the selection mark from Start to Send.
focus_window "$win"
[ "$(title_selection)" = 0 ] || fail "the title selection does not start on Start"
select_title_entry 1
screenshot down

# Help > Version: Escape leaves it open, Enter on OK closes it.
xdotool mousemove $((X + 120)) $((Y + menubar / 2)) click 1
wait_menu
xdotool mousemove $((X + 140)) $((Y + menubar + 14)) click 1
wait_titled " Version" "Help > Version" >/dev/null
screenshot version
key Escape; sleep 0.5
xdotool search --name '^ Version$' >/dev/null || fail "Escape closed the Version dialog"
key Return
wait_gone " Version" "Enter on OK"
focus_window "$win"

select_title_entry 2
press Return
wait_exit; code=$EXIT_CODE
[ "$code" = 0 ] || fail "Enter on Exit ended with exit code $code"

# File > Exit with the mouse: " File" is the first pop-up of the menu bar. This time a
# FIFO named vemol.dat must not hold up the start: no best score, said once.
mkfifo "$WORK_DIR/vemol.dat"
start_game
win=$(wait_window)
wait_title_screen "$win"
eval "$(window_geometry "$win")"
xdotool mousemove $((X + 20)) $((Y + menubar / 2)) click 1
wait_menu
screenshot file_menu
xdotool mousemove $((X + 30)) $((Y + menubar + 14)) click 1
wait_exit; code=$EXIT_CODE
[ "$code" = 0 ] || fail "File > Exit ended with exit code $code"
[ "$(grep -c "cannot be read or kept" "$OUT_DIR/stderr.txt")" = 1 ] || fail "the FIFO vemol.dat was not reported once"
[ -p "$WORK_DIR/vemol.dat" ] || fail "the FIFO vemol.dat was replaced"
echo "spine: ok"
