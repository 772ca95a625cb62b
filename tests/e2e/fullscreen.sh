#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# F11 under a window manager: the window fills the screen and the title picture sits in
# its middle, twice its size with hard pixel edges, on black; F11 again brings the window
# back. Leaving fullscreen by the desktop's own means is followed: F11 then enters again.
XVFB_SCREEN=1600x1200x24
source "$(dirname "$0")/lib/common.bash" "$@"

start_openbox '<keybind key="W-F12"><action name="ToggleFullscreen"/></keybind>'
start_game
win=$(wait_window)
read -r wx wy ww wh < <(client_geometry "$win")
menubar=$((wh - 453))
wait_title_screen "$win"
xdotool windowfocus --sync "$win" 2>/dev/null || true
screenshot windowed
convert "$OUT_DIR/windowed.png" -crop "632x453+$wx+$((wy + menubar))" +repage "$OUT_DIR/picture.png"

# Waits until the window's inside is at "X Y WIDTH HEIGHT".
wait_geometry() {
    local now=""
    for _ in $(seq 50); do
        now=$(client_geometry "$win")
        [ "$now" = "$1" ] && return 0
        sleep 0.1
    done
    fail "$2 (window at $now, expected $1)"
}

key F11
wait_geometry "0 0 1600 1200" "F11 did not make the window fill the screen"
sleep 0.5
screenshot fullscreen
# 1600 x (1200 - menu bar) takes the picture twice (1264 x 906), not three times.
px=$(((1600 - 1264) / 2)); py=$((menubar + (1200 - menubar - 906) / 2))
convert "$OUT_DIR/fullscreen.png" -crop "1264x906+$px+$py" +repage "$OUT_DIR/doubled.png"
d=$(pixels_off_the_grid doubled.png)
[ "$d" = 0 ] || fail "the fullscreen picture is not made of hard 2 x 2 pixels ($d off the grid)"
convert "$OUT_DIR/doubled.png" -sample 50% "$OUT_DIR/halved.png"
d=$(pixels_differing picture.png halved.png)
[ "$d" = 0 ] || fail "the fullscreen picture is not the window's picture doubled and centred ($d pixels differ)"
convert "$OUT_DIR/fullscreen.png" -crop "1600x$((1200 - menubar))+0+$menubar" +repage \
    -fill white -draw "rectangle $px,$((py - menubar)) $((px + 1263)),$((py - menubar + 905))" "$OUT_DIR/bars.png"
lit=$(convert "$OUT_DIR/bars.png" -fill black -opaque white -format '%[fx:maxima]' info:)
[ "$lit" = 0 ] || fail "the bars around the fullscreen picture are not black"

key F11
wait_geometry "$wx $wy $ww $wh" "F11 did not bring the window back"

# Into fullscreen by F11, out of it by the desktop's own key: F11 must know the window is
# back, and enter fullscreen again.
key F11
wait_geometry "0 0 1600 1200" "F11 did not make the window fill the screen a second time"
key super+F12
wait_geometry "$wx $wy $ww $wh" "the desktop did not end fullscreen"
key F11
wait_geometry "0 0 1600 1200" "F11 after the desktop left fullscreen did not enter it again"
echo "fullscreen: ok"
