#!/usr/bin/env bash
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
xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"

# The opening movie runs about nine seconds before the title screen.
sleep 12
screenshot title
[ -e "$WORK_DIR/vemol.dat" ] && fail "vemol.dat exists before any game"

hold_key Return 0.15        # Start (the cursor starts on it)
sleep 2                     # the 50 transition frames, then play
screenshot play
[ "$(differing_pixels title play)" -gt 10000 ] || fail "the game did not start"

hold_key Home 0.1           # give up: ten more play frames, then the break-up
sleep 0.4
screenshot breakup
[ "$(differing_pixels play breakup)" -gt 1000 ] || fail "no break-up after HOME"
[ "$(differing_pixels title breakup)" -gt 1000 ] || fail "the break-up showed only the title"

sleep 3                     # every tile has fallen after about 75 frames
screenshot title_again
[ "$(differing_pixels title title_again)" -lt 100 ] || fail "the title screen did not come back"
[ -e "$WORK_DIR/vemol.dat" ] && fail "a game that scored 0 created vemol.dat"

# Leave through the title menu's Exit entry.
hold_key Down 0.05
sleep 0.3
hold_key Down 0.05
sleep 0.3
hold_key Return 0.1
wait_exit 100; code=$EXIT_CODE
[ "$code" = 0 ] || fail "the game exited with code $code"
[ -e "$WORK_DIR/vemol.dat" ] && fail "vemol.dat appeared at exit"
echo "PASS"
