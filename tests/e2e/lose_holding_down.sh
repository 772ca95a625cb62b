#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Keys follow the fingers also while the game is not reading them: Down held while a
# column fills and let go during the 0.7 s pause before the break-up is up when the
# title screen comes back, so the title cursor stays on Start and the game runs on.
# A test build's VEMOL_TEST_FULL_COLUMN=1 loses every game three seconds into play.
source "$(dirname "$0")/lib/common.bash" "$@"

start_game VEMOL_TEST_FULL_COLUMN=1
win=$(wait_window)
wait_title_screen "$win"
focus_window "$win"
title=$(area_hash)
screenshot title

# Whether the first column's gauge is full: its last cell, at the left edge of the
# first gauge row, is lit yellow.
column_full() { [ "$(area_brightness 20 57)" -gt 150 ]; }

# One game: Enter on Start, Down held through the play. Once the column is full and the
# picture stands still (the pause: in play the first die is sliding down the board),
# Down is let go. Returns 0 when a picture still standing after the release shows it
# came inside the pause, 1 when that could not be seen (a busy machine looks slowly),
# 2 when the title came back with Down still held.
play_one_game() {
    press Return 0.15
    wait_play_screen
    xdotool keydown Down
    local before="" now
    for _ in $(seq 300); do
        # The title's gold lettering: the pause was missed.
        if [ "$(area_brightness 200 115)" -gt 150 ]; then
            xdotool keyup Down
            return 2
        fi
        if ! column_full; then
            sleep 0.05
            continue
        fi
        now=$(area_hash)
        if [ "$now" = "$before" ]; then
            xdotool keyup Down
            screenshot released
            [ "$(area_hash)" = "$now" ] && return 0
            return 1
        fi
        before=$now
    done
    xdotool keyup Down
    fail "the column did not fill, or no pause followed"
}

# Waits until the title picture is back exactly as it was, the cursor on Start.
wait_title_back() {
    for _ in $(seq 150); do
        [ "$(area_hash)" = "$title" ] && return 0
        sleep 0.1
    done
    screenshot title_after
    fail "the title screen did not come back with the cursor on Start"
}

# Eight title frames read Down: a key stuck down would walk the cursor.
expect_title_stays() {
    for _ in $(seq 10); do
        sleep 0.1
        [ "$(area_hash)" = "$title" ] || { screenshot title_after; fail "the title cursor moved by itself"; }
    done
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended"
}

# A busy machine may look too slowly to catch the pause: a few games are tried until
# one shows the release inside it; each must leave the title cursor alone.
for attempt in 1 2 3; do
    result=0
    play_one_game || result=$?
    if [ "$result" = 2 ]; then
        echo "attempt $attempt: the pause went by unseen; again" >&2
        wait_title_still
        select_title_entry 0
        wait_title_back
        continue
    fi
    wait_title_back
    expect_title_stays
    if [ "$result" = 0 ]; then
        echo "lose_holding_down: ok (attempt $attempt)"
        exit 0
    fi
    echo "attempt $attempt: Down was let go, but not provably inside the pause; again" >&2
done
echo "lose_holding_down: ok, but no game showed the release inside the pause (a busy machine)"
