#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Where the dialogs appear: a dialog template's position counts from the main window's
# client area, the drawing area under the menu bar, with the dialog's frame (if the
# desktop draws one) at that point. Checked with the Version dialog, whose template puts
# it 179 x 230 dialog units from there and makes it 179 x 55 units large: its left edge
# lies one dialog width right of the drawing area, its top 230/55 of its height below.
# Once without a window manager and once under openbox.
source "$(dirname "$0")/lib/common.bash" "$@"

DRAWING_AREA_HEIGHT=453

check_version_dialog() {
    local how=$1
    start_game
    local win
    win=$(wait_window)
    wait_title_screen "$win"
    read -r X Y W H < <(client_geometry "$win")
    local areaX=$X areaY=$((Y + H - DRAWING_AREA_HEIGHT))   # under the menu bar
    # Help > Version: a click on "Help", the third pop-up of the menu bar.
    xdotool mousemove $((X + 121)) $((Y + 12)) click 1
    wait_menu
    key Down
    sleep 0.2
    key Return
    local dialog
    dialog=$(wait_titled " Version" "Help > Version $how")
    sleep 0.5
    screenshot "version_$how"
    read -r X Y W H < <(client_geometry "$dialog")
    eval "$(frame_extents "$dialog")"
    local dx=$((X - FL - areaX)) dy=$((Y - FT - areaY))
    echo "$how: drawing area at $areaX,$areaY; dialog frame at +$dx,+$dy, inside ${W}x$H"
    [ "$dx" = "$W" ] || fail "$how: the dialog is $dx pixels right of the drawing area, expected $W"
    local expected=$((H * 230 / 55))
    [ "$dy" -ge $((expected - 2)) ] && [ "$dy" -le $((expected + 2)) ] ||
        fail "$how: the dialog is $dy pixels below the drawing area's top, expected about $expected"
    key Return   # OK
    wait_gone " Version" "OK $how"
    kill "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=""
}

check_version_dialog no_wm
start_openbox
check_version_dialog openbox
echo "dialog_place: ok"
