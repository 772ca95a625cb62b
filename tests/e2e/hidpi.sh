#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A high-DPI desktop (GDK_SCALE=2): the window opens at twice its size in device pixels,
# 1264 wide over a 906-pixel drawing area, and the title picture in it is made of hard
# 2 x 2 pixel blocks, never blurred.
source "$(dirname "$0")/lib/common.bash" "$@"

start_game GDK_SCALE=2
win=$(wait_window)
read -r wx wy ww wh < <(client_geometry "$win")
[ "$ww" = 1264 ] || fail "window width $ww device pixels, expected 1264"
menubar=$((wh - 906))
[ "$menubar" -ge 30 ] && [ "$menubar" -le 120 ] || fail "no doubled menu bar above a 906-pixel drawing area (height $wh)"

# The title picture after the opening (about nine seconds; longer on a busy machine):
# the gold of its big lettering at (200, 115), doubled, where the opening is dark.
for _ in $(seq 120); do
    screenshot title
    IFS=, read -r r _ <<<"$(pixel_at title $((wx + 400)) $((wy + menubar + 230)))"
    [ "$r" -gt 150 ] && break
    sleep 0.25
done
convert "$OUT_DIR/title.png" -crop "1264x906+$wx+$((wy + menubar))" +repage "$OUT_DIR/picture.png"
colours=$(identify -format '%k' "$OUT_DIR/picture.png")
[ "$colours" -gt 200 ] || fail "no title picture to look at ($colours colours)"
d=$(pixels_off_the_grid picture.png)
[ "$d" = 0 ] || fail "the picture is not made of hard 2 x 2 pixels ($d off the grid)"
echo "hidpi: ok"
