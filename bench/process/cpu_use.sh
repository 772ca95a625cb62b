#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Percent of one core the whole game process uses at 60 frames a second, from /proc
# (user plus system time of every thread), on the title screen and in play, in a real
# window under Xvfb with the sound mixed and synthesized at a sound card's pace.
#
#   bench/process/cpu_use.sh <vemol binary> [seconds, default 60] [output folder]
#
# Play is measured in stretches of 20 s, each in a fresh game that the player lets run
# (dice come down and the gauges fill; an idle game lasts well over 30 s), given up with
# HOME in between, until the stretches add up to the seconds asked for.
set -euo pipefail
seconds=${2:-60}
source "$(dirname "$0")/lib.bash" "$1" "${3:-$(mktemp -d)}"

start_at_title_screen
echo "title: $(cpu_percent_over "$seconds") % of a core over $seconds s"

stretch=20
total_ticks=0; total_ns=0; played=0
while [ "$played" -lt "$seconds" ]; do
    hold_key Return 0.2
    sleep 1.5                       # the 50 frames that tip the title away
    before=$(cpu_ticks); t0=$(date +%s%N)
    sleep "$stretch"
    after=$(cpu_ticks); t1=$(date +%s%N)
    total_ticks=$((total_ticks + after - before)); total_ns=$((total_ns + t1 - t0))
    played=$((played + stretch))
    hold_key Home 0.2
    wait_title_again 30
done
echo "play: $(echo "scale=2; 100 * $total_ticks / $(getconf CLK_TCK) / ($total_ns / 1000000000)" | bc) % of a core over $played s"
