#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Give up a game with HOME: the last picture breaks into tiles that fall away over the
# title picture, and the title screen comes back. A game that scored nothing leaves no
# best-score file behind when there was none.
source "$(dirname "$0")/lib/common.bash" "$@"

# Number of differing pixels between two screenshots.
differing_pixels() {
    compare -metric AE "$OUT_DIR/$1.png" "$OUT_DIR/$2.png" null: 2>&1 | cut -d' ' -f1 || true
}

start_game
WIN=$(wait_window)
wait_title_screen "$WIN"
focus_window "$WIN"
title=$(area_hash)
screenshot title
[ -e "$WORK_DIR/vemol.dat" ] && fail "vemol.dat exists before any game"

hold_key Return 0.15        # Start (the cursor starts on it)
wait_play_screen            # after the 50 transition frames
screenshot play
[ "$(differing_pixels title play)" -gt 10000 ] || fail "the game did not start"

# Give up: ten more play frames, then the break-up. Once the tiles drift, the board is
# gone but the picture is not yet the title's.
hold_key Home 0.1
breakup=""
for _ in $(seq 200); do
    if ! play_screen_shown && [ "$(area_hash)" != "$title" ]; then
        screenshot breakup
        breakup=yes
        break
    fi
    sleep 0.05
done
[ -n "$breakup" ] || fail "no break-up after HOME"
[ "$(differing_pixels play breakup)" -gt 1000 ] || fail "no break-up after HOME"
[ "$(differing_pixels title breakup)" -gt 1000 ] || fail "the break-up showed only the title"

# Every tile has fallen after about 75 frames: the title picture comes back as it was.
for _ in $(seq 200); do
    [ "$(area_hash)" = "$title" ] && break
    sleep 0.1
done
screenshot title_again
[ "$(differing_pixels title title_again)" -lt 100 ] || fail "the title screen did not come back"
[ -e "$WORK_DIR/vemol.dat" ] && fail "a game that scored 0 created vemol.dat"

# Leave through the title menu's Exit entry.
select_title_entry 2
hold_key Return 0.1
wait_exit; code=$EXIT_CODE
[ "$code" = 0 ] || fail "the game exited with code $code"
[ -e "$WORK_DIR/vemol.dat" ] && fail "vemol.dat appeared at exit"
echo "PASS"
