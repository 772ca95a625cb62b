#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A game as a player starts it: Enter on Start tips the title away and shows the board;
# the arrows roll the player's die a cell at a time, space sends a shot up the column,
# and dice come down the board.
source "$(dirname "$0")/lib/common.bash" "$@"

start_game
win=$(wait_window)
wait_title_screen "$win"
ax=$AX; ay=$AY

# Changed pixels between the same crop (w x h + x + y, in drawing-area pixels) of two shots.
changed() {
    local a=$1 b=$2 w=$3 h=$4 x=$5 y=$6
    convert "$OUT_DIR/$a.png" -crop "${w}x${h}+$((ax + x))+$((ay + y))" +repage "$OUT_DIR/crop_a.png"
    convert "$OUT_DIR/$b.png" -crop "${w}x${h}+$((ax + x))+$((ay + y))" +repage "$OUT_DIR/crop_b.png"
    local d
    d=$(compare -metric AE "$OUT_DIR/crop_a.png" "$OUT_DIR/crop_b.png" null: 2>&1 || true)
    echo "${d%% *}"
}

# Takes screenshot `name` again and again, up to a generous limit, until `test` (a
# command) passes; the last one stays for the failure message.
shoot_until() {
    local name=$1
    shift
    for _ in $(seq 60); do
        screenshot "$name"
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

focus_window "$win"
screenshot title
# The game polls whether a key is down at the moment of a frame: hold each key long
# enough for a frame to see it (but shorter than one roll, 0.157 s, for the arrows).
hold_key Return 0.2
wait_play_screen
screenshot board
# The board replaced the title picture.
d=$(changed title board 400 300 0 0)
[ "$d" -gt 20000 ] || fail "Enter on Start did not bring up the board (changed pixels: $d)"

# The player's die sits at x = -1.85, z = -15.3, its top 3.5 units up: about (293, 406).
# A new game puts 1 on top: our die picture's single pip is red.
p=$(pixel_at board $((ax + 293)) $((ay + 406)))
IFS=, read -r r g b <<<"$p"
[ "$r" -gt 140 ] && [ "$g" -lt 90 ] || fail "no player's die with 1 on top at its start cell (pixel $p)"

# Left rolls the die away from its cell and it arrives one cell to the left.
rolled_left() {
    [ "$(changed board rolled 40 40 273 386)" -gt 200 ] && [ "$(changed board rolled 40 40 232 386)" -gt 200 ]
}
hold_key Left 0.1
shoot_until rolled rolled_left ||
    fail "the left arrow did not roll the die one cell to the left (changed pixels: $(changed board rolled 40 40 273 386), $(changed board rolled 40 40 232 386))"

# A shot flies up the die's column.
screenshot before_shot
shot_flies() { [ "$(changed before_shot shot 40 200 232 150)" -gt 100 ]; }
hold_key space 0.1
shoot_until shot shot_flies || fail "space sent no shot up the column (changed pixels: $(changed before_shot shot 40 200 232 150))"

# Dice come down the board: the first slot spawned at the start, another joins every
# 5 s; over one second each visible die slides about 35 pixels. The shot's column is
# left out of the comparison.
dice_changed() { echo $(($(changed dice1 dice2 220 340 0 0) + $(changed dice1 dice2 110 340 290 0))); }
dice_move() { [ "$(dice_changed)" -gt 300 ]; }
screenshot dice1
sleep 1
shoot_until dice2 dice_move || fail "no falling dice move down the board (changed pixels: $(dice_changed))"
echo "play: ok"
