#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The waits the loop advances frame by frame: Help > Version chosen during the opening
# opens once the opening is over, and a close request during the new-game transition and
# during the game-over pause closes the window within 100 ms.
source "$(dirname "$0")/lib/common.bash" "$@"

# Milliseconds from EPOCHREALTIME $1 to $2.
ms() { awk -v t0="$1" -v t="$2" 'BEGIN { printf "%d", (t - t0) * 1000 }'; }

# Notes when the window is unmapped, from now on: starting a client per look would take
# tens of milliseconds on a busy machine.
watch_window() {
    rm -f "$WORK_DIR/unmapped"
    stdbuf -oL xev -id "$win" -event structure | while IFS= read -r line; do
        case $line in UnmapNotify* | DestroyNotify*) echo "$EPOCHREALTIME" >"$WORK_DIR/unmapped" && break ;; esac
    done &
    sleep 0.3 # listening
}

# Asks the window to close, `within` ms after `since` at the latest (so that the
# request lands inside the wait), and fails unless it is gone within 100 ms.
close_within_100ms() {
    local what=$1 since=$2 within=$3 asked gone
    asked=$EPOCHREALTIME
    control close
    [ "$(ms "$since" "$asked")" -lt "$within" ] || fail "the machine was too slow to ask for the close during $what"
    for _ in $(seq 100); do [ -s "$WORK_DIR/unmapped" ] && break; sleep 0.02; done
    [ -s "$WORK_DIR/unmapped" ] || fail "the window did not close during $what"
    gone=$(ms "$asked" "$(cat "$WORK_DIR/unmapped")")
    echo "closed during $what after $gone ms"
    [ "$gone" -le 100 ] || fail "a close request during $what took $gone ms"
    wait_exit
    [ "$EXIT_CODE" = 0 ] || fail "closing during $what ended the game with exit code $EXIT_CODE"
}

: >"$WORK_DIR/control"
start_game VEMOL_TEST_CONTROL="$WORK_DIR/control"
win=$(wait_window)
shown=$EPOCHREALTIME
sleep 2.5
control menu 40004 # Help > Version, while the clip plays
sleep 1.5
[ -z "$(xdotool search --onlyvisible --name '^ Version$' 2>/dev/null)" ] ||
    fail "the Version dialog opened during the opening"
wait_titled " Version" "Help > Version chosen during the opening" >/dev/null
after=$(ms "$shown" "$EPOCHREALTIME")
[ "$after" -ge 8900 ] || fail "the Version dialog opened $after ms into the opening"
control default
wait_gone " Version" "OK"
wait_title_screen "$win"
focus_window "$win"
watch_window

# Enter on Start: the title tips away for 50 frames (about 0.83 s), reading no keys.
xdotool keydown Return sleep 0.1 keyup Return
pressed=$EPOCHREALTIME
sleep 0.1
close_within_100ms "the transition" "$pressed" 600

# A test build's VEMOL_TEST_FULL_COLUMN=1 loses the game three seconds into play: the
# first column's gauge fills, nine more play frames, then the 0.7 s pause.
: >"$WORK_DIR/control"
start_game VEMOL_TEST_CONTROL="$WORK_DIR/control" VEMOL_TEST_FULL_COLUMN=1
win=$(wait_window)
wait_title_screen "$win"
focus_window "$win"
watch_window
xdotool keydown Return sleep 0.1 keyup Return
wait_play_screen
for _ in $(seq 300); do [ "$(area_brightness 20 57)" -gt 150 ] && break; sleep 0.02; done
[ "$(area_brightness 20 57)" -gt 150 ] || fail "the first column did not fill"
full=$EPOCHREALTIME
sleep 0.3
close_within_100ms "the game-over pause" "$full" 500
echo "waits: ok"
