#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A game played with a game pad (SDL's virtual joystick, plugged into the running game
# through the test build's control file): the D-pad and the stick move the title
# selection, Start picks, the stick rolls the die, A shoots; the pad is unplugged and
# plugged in again mid-game and still plays, Back gives up; Start on Exit ends the game.
source "$(dirname "$0")/lib/common.bash" "$@"

: >"$WORK_DIR/control"
start_game VEMOL_TEST_CONTROL="$WORK_DIR/control"
win=$(wait_window)
read -r wx wy _ wh < <(client_geometry "$win")
ax=$wx; ay=$((wy + wh - 453))
wait_title_screen "$win"
xdotool windowfocus --sync "$win" 2>/dev/null || true
control plug
sleep 0.3

# A button held for a few frames, as a player presses it; an axis pushed and let go.
tap() { control button "$1" 1; sleep 0.12; control button "$1" 0; sleep "${2:-0.5}"; }
push() { control axis "$1" "$2"; sleep 0.12; control axis "$1" 0; sleep "${3:-0.5}"; }
# Changed pixels between the same crop (w x h + x + y, in drawing-area pixels) of two shots.
changed() {
    convert "$OUT_DIR/$1.png" -crop "$3x$4+$((ax + $5))+$((ay + $6))" +repage "$OUT_DIR/crop_a.png"
    convert "$OUT_DIR/$2.png" -crop "$3x$4+$((ax + $5))+$((ay + $6))" +repage "$OUT_DIR/crop_b.png"
    pixels_differing crop_a.png crop_b.png
}
menu() { changed "$1" "$2" 150 120 268 325; }

screenshot title
tap dpdown
screenshot send
[ "$(menu title send)" -gt 50 ] || fail "D-pad down did not move the title selection"
push lefty -30000
screenshot start
[ "$(menu title start)" = 0 ] || fail "the stick pushed up did not bring the selection back to Start"

tap start 2
screenshot board
[ "$(changed title board 400 300 0 0)" -gt 20000 ] || fail "Start on Start did not bring up the board"

# The die starts at about (293, 406); the stick to the left rolls it one cell over.
push leftx -30000 0.6
screenshot rolled
[ "$(changed board rolled 40 40 273 386)" -gt 200 ] || fail "the stick did not roll the die away from its cell"
[ "$(changed board rolled 40 40 232 386)" -gt 200 ] || fail "the die did not arrive one cell to the left"
screenshot before_shot
tap a 0.2
screenshot shot
[ "$(changed before_shot shot 40 200 232 150)" -gt 100 ] || fail "A sent no shot up the column"

# Unplugged and plugged in again: the new pad plays at once.
control unplug
sleep 0.3
control plug
sleep 0.3
screenshot replugged
tap dpright 0.6
screenshot rolled_back
[ "$(changed replugged rolled_back 40 40 273 386)" -gt 200 ] || fail "the pad plugged in again did not roll the die back"

tap back 0.5   # give up: the break-up, then the title again, however long a busy machine takes
for _ in $(seq 60); do
    screenshot title_again
    [ "$(changed title title_again 632 453 0 0)" -lt 100 ] && break
    sleep 0.25
done
[ "$(changed title title_again 632 453 0 0)" -lt 100 ] || fail "Back did not give the game up and bring the title back"

tap dpdown 0.4
tap dpdown 0.4
tap start 0
wait_exit 50
[ "$EXIT_CODE" = 0 ] || fail "Start on Exit ended the game with exit code $EXIT_CODE"
echo "gamepad: ok"
