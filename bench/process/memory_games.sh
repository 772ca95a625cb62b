#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game's memory over many games in a real window under Xvfb: private memory
# (RssAnon) and the whole resident set (VmRSS) after games 1, 10 and the last.
#
#   bench/process/memory_games.sh <vemol binary> [games, default 100] [output folder]
#
# Every tenth game, from the first on, is lost the slow way: the player lets every die
# pass until a column's gauge is full (about 40 s). The others are given up with HOME
# soon after they start. Each game ends with the break-up and the title screen again.
set -euo pipefail
games=${2:-100}
source "$(dirname "$0")/lib.bash" "$1" "${3:-$(mktemp -d)}"

start_at_title_screen
echo "title, before any game: RssAnon $(status_kb RssAnon) kB, VmRSS $(status_kb VmRSS) kB"

first=""
for game in $(seq "$games"); do
    hold_key Return 0.2
    if [ $((game % 10)) = 1 ]; then
        wait_title_again 120        # a full column ends it
    else
        sleep 1.5
        hold_key Home 0.2
        wait_title_again 30
    fi
    if [ "$game" = 1 ] || [ "$game" = 10 ] || [ "$game" = "$games" ]; then
        anon=$(status_kb RssAnon)
        [ -z "$first" ] && first=$anon
        echo "after game $game: RssAnon $anon kB, VmRSS $(status_kb VmRSS) kB"
    fi
done
echo "private memory growth after the first game: $(( $(status_kb RssAnon) - first )) kB"
