#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time: from exec of the game to its main window mapped on screen under Xvfb,
# before the opening's own nine seconds. Prints each run and the median.
#
#   bench/process/startup.sh <vemol binary> [runs, default 7] [output folder]
#
# The window is looked for every few milliseconds; each look costs about as long, so a
# figure is good to about 10 ms. The game's CPU time when its window was found is shown
# beside each run: on a busy machine it tells start-up work from waiting for a core.
set -euo pipefail
runs=${2:-7}
source "$(dirname "$0")/lib.bash" "$1" "${3:-$(mktemp -d)}"

times=()
for run in $(seq "$runs"); do
    t0=$(date +%s%N)
    start_measured_game
    until xdotool search --onlyvisible --name '^ - Vemol - $' >/dev/null 2>&1; do
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window showed"
        [ $(( $(date +%s%N) - t0 )) -lt 10000000000 ] || fail "no window within 10 s"
    done
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000000 )))
    echo "run $run: ${times[-1]} ms ($(( $(cpu_ticks) * 1000 / $(getconf CLK_TCK) )) ms of CPU by then)"
    kill "$GAME_PID"; wait "$GAME_PID" 2>/dev/null || true; GAME_PID=""
done
echo "median from exec to window on screen: $(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p") ms"
