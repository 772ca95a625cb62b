#!/usr/bin/env bash
# A game as a player starts it: Enter on Start tips the title away and shows the board;
# the arrows roll the player's die a cell at a time, space sends a shot up the column,
# and dice come down the board.
source "$(dirname "$0")/lib/common.bash" "$@"

start_game
win=$(wait_window)
eval "$(window_geometry "$win")"
menubar=$((HEIGHT - 453))
ax=$X; ay=$((Y + menubar))

# Changed pixels between the same crop (w x h + x + y, in drawing-area pixels) of two shots.
changed() {
    local a=$1 b=$2 w=$3 h=$4 x=$5 y=$6
    convert "$OUT_DIR/$a.png" -crop "${w}x${h}+$((ax + x))+$((ay + y))" +repage "$OUT_DIR/crop_a.png"
    convert "$OUT_DIR/$b.png" -crop "${w}x${h}+$((ax + x))+$((ay + y))" +repage "$OUT_DIR/crop_b.png"
    local d
    d=$(compare -metric AE "$OUT_DIR/crop_a.png" "$OUT_DIR/crop_b.png" null: 2>&1 || true)
    echo "${d%% *}"
}

sleep 10.5   # the opening lasts 9 seconds
xdotool windowfocus --sync "$win" 2>/dev/null || true
screenshot title
# The game polls whether a key is down at the moment of a frame: hold each key long
# enough for a frame to see it (but shorter than one roll, 0.157 s, for the arrows).
hold_key Return 0.2
sleep 1.5
screenshot board
# The board replaced the title picture.
d=$(changed title board 400 300 0 0)
[ "$d" -gt 20000 ] || fail "Enter on Start did not bring up the board (changed pixels: $d)"

# The player's die sits at x = -1.85, z = -15.3, its top 3.5 units up: about (293, 406).
# A new game puts 1 on top: our die picture's single pip is red.
p=$(pixel_at board $((ax + 293)) $((ay + 406)))
IFS=, read -r r g b <<<"$p"
[ "$r" -gt 140 ] && [ "$g" -lt 90 ] || fail "no player's die with 1 on top at its start cell (pixel $p)"
hold_key Left 0.1
sleep 0.6
screenshot rolled
d=$(changed board rolled 40 40 273 386)
[ "$d" -gt 200 ] || fail "the left arrow did not roll the die away from its cell (changed pixels: $d)"
d=$(changed board rolled 40 40 232 386)
[ "$d" -gt 200 ] || fail "the die did not arrive one cell to the left (changed pixels: $d)"

# A shot flies up the die's column: 0.3 s after space it is about 7 units up the board.
screenshot before_shot
hold_key space 0.1
sleep 0.2
screenshot shot
d=$(changed before_shot shot 40 200 232 150)
[ "$d" -gt 100 ] || fail "space sent no shot up the column (changed pixels: $d)"

# Dice come down the board: the first slot spawned at the start, another joins every
# 5 s; over one second each visible die slides about 35 pixels.
sleep 4
screenshot dice1
sleep 1
screenshot dice2
d=$(changed dice1 dice2 400 340 0 0)
[ "$d" -gt 300 ] || fail "no falling dice move down the board (changed pixels: $d)"
echo "play: ok"
