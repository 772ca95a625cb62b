#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The opening as a player meets it: the drawing area dark for the first two seconds, then
# the maker's clip, unscaled, in the 128 x 96 area at (260, 180), and after nine seconds
# the title screen.
source "$(dirname "$0")/lib/common.bash" "$@"

# Sleeps until `seconds` after the window appeared.
sleep_until() {
    local now
    now=$EPOCHREALTIME
    local left
    left=$(awk -v t0="$SHOWN" -v at="$1" -v now="$now" 'BEGIN { d = t0 + at - now; printf "%.3f", (d > 0 ? d : 0) }')
    sleep "$left"
}

# Crops the drawing area out of a screenshot.
crop_area() {
    convert "$OUT_DIR/$1.png" -crop 632x453+$AX+$AY +repage "$OUT_DIR/$1_area.png"
}

# A cropped area as a mask: white where some colour channel is above 12 %, which the dark
# window background never is.
lit_mask() {
    local shot=$1
    shift
    convert "$OUT_DIR/${shot}_area.png" -separate -evaluate-sequence max -threshold 12% "$@"
}

# Bounding box "w h x y" of the lit pixels of a cropped area.
lit_box() {
    lit_mask "$1" -format "%@" info: 2>/dev/null | awk -F'[x+]' '{ print $1, $2, $3, $4 }'
}

# How many pixels of a cropped area are lit.
lit_pixels() {
    lit_mask "$1" -format "%[fx:int(mean*w*h+0.5)]" info:
}

start_game
WIN=$(wait_window)
SHOWN=$EPOCHREALTIME
eval "$(window_geometry "$WIN")"
[ "$WIDTH" = 632 ] || fail "window client width $WIDTH, expected 632"
AX=$X
AY=$((Y + HEIGHT - 453))

# Takes screenshot `name` at `from` seconds, again every quarter second up to `to` while
# its area has fewer than `least` lit pixels (a busy machine may start the clip late).
shoot() {
    local name=$1 from=$2 to=$3 least=$4 at
    at=$from
    while :; do
        sleep_until "$at"
        screenshot "$name"
        crop_area "$name"
        [ "$(lit_pixels "$name")" -ge "$least" ] && break
        at=$(awk -v a="$at" 'BEGIN { printf "%.2f", a + 0.25 }')
        awk -v a="$at" -v t="$to" 'BEGIN { exit !(a <= t) }' || break
    done
    echo "$name: screenshot at ${at} s"
}

sleep_until 1.0
screenshot dark
crop_area dark
shoot clip 4.0 8.5 500
shoot title 10.5 40.0 200000

# About 1 s: nothing but the dark background.
n=$(lit_pixels dark)
[ "$n" -eq 0 ] || fail "the drawing area is not dark 1 s after the window appeared ($n lit pixels)"

# From about 4 s: a frame of the clip, and only inside the 128 x 96 area at (260, 180).
n=$(lit_pixels clip)
[ "$n" -gt 500 ] || fail "no clip frame 4 to 8.5 s after the window appeared ($n lit pixels)"
read -r bw bh bx by <<<"$(lit_box clip)"
[ "$bx" -ge 260 ] && [ "$by" -ge 180 ] && [ $((bx + bw)) -le 388 ] && [ $((by + bh)) -le 276 ] ||
    fail "the clip frame is not inside the area at (260, 180): lit pixels span ${bw}x${bh}+${bx}+${by}"
[ $((bx + bw)) -ge 340 ] && [ $((by + bh)) -ge 240 ] ||
    fail "the clip frame looks scaled down: lit pixels span only ${bw}x${bh}+${bx}+${by}"

# After 9.5 s: the title screen fills the drawing area.
n=$(lit_pixels title)
[ "$n" -gt 200000 ] || fail "the title screen is not shown after the opening ($n lit pixels of 286296)"

grep -q "opening movie" "$OUT_DIR/stderr.txt" && fail "the game skipped the clip: $(cat "$OUT_DIR/stderr.txt")"
echo "opening: ok"
