# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the whole-process benchmarks: the end-to-end helpers (a private Xvfb,
# the game in a scratch directory, keys, screenshots) plus the game's CPU time, its
# memory and the screens of a game's round trip.
# Usage in a script:  source "$(dirname "$0")/lib.bash" <vemol binary> <output folder>
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/lib/common.bash" "$@"

# Sound goes to SDL's disk driver writing to /dev/null: it asks for samples at a sound
# card's pace, so mixing and the tune's synthesis cost what they cost a player.
start_measured_game() {
    start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$@"
}

# CPU time of the whole game process (every thread), user plus system, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }

# Percent of one core the game used over the next $1 seconds of wall-clock time.
cpu_percent_over() {
    local before after t0 t1
    before=$(cpu_ticks); t0=$(date +%s%N)
    sleep "$1"
    after=$(cpu_ticks); t1=$(date +%s%N)
    echo "scale=2; 100 * ($after - $before) / $(getconf CLK_TCK) / (($t1 - $t0) / 1000000000)" | bc
}

# A field of /proc/PID/status in kB (RssAnon, VmRSS).
status_kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$GAME_PID/status"; }

differing_pixels() {
    compare -metric AE "$OUT_DIR/$1.png" "$OUT_DIR/$2.png" null: 2>&1 | cut -d' ' -f1 || true
}

# Waits out the opening movie until the title screen stands still, focuses the window
# and keeps a shot of the title as "title" for wait_title_again.
wait_title_screen() {
    local win=$1
    sleep 9.5
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
    screenshot title
    for _ in $(seq 40); do
        sleep 0.5
        screenshot title_now
        [ "$(differing_pixels title title_now)" -lt 100 ] && return 0
        mv "$OUT_DIR/title_now.png" "$OUT_DIR/title.png"
    done
    fail "the title screen did not settle"
}

# Starts the game as above and waits until its title screen stands still.
start_at_title_screen() {
    local win
    start_measured_game
    win=$(wait_window)
    wait_title_screen "$win"
}

# Waits (up to $1 seconds) until the title screen is back after a game.
wait_title_again() {
    for _ in $(seq "$(( $1 * 2 ))"); do
        sleep 0.5
        screenshot now
        [ "$(differing_pixels title now)" -lt 100 ] && return 0
    done
    fail "the title screen did not come back within $1 s"
}
