#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Instructions per frame of each frame benchmark, counted by callgrind: unlike the wall
# times of vemol_bench, the figure does not depend on what else the machine is doing, so
# it compares two builds on a busy machine. Counts the device's clear and draw calls
# (everything a frame draws; the copy that shows it is left out).
#
#   bench/frames/instructions.sh <vemol_bench binary> [benchmark filter regex]
set -euo pipefail
bench=$(readlink -f "$1")
filter=${2:-.}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for name in $("$bench" --benchmark_list_tests --benchmark_filter="$filter"); do
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" --compress-strings=no \
        --toggle-collect='gfx::Device::drawMesh*' --toggle-collect='gfx::Device::clear*' \
        "$bench" --benchmark_filter="^${name}\$" --benchmark_min_time=0.05 \
        >/dev/null 2>&1
    # Every frame clears once; Google Benchmark runs more frames than it reports.
    frames=$(awk '/^cfn=gfx::Device::clear/ { getline; split($1, c, "="); n += c[2] } END { print n }' "$out/cg")
    instructions=$(callgrind_annotate "$out/cg" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
    printf '%-36s %12d instructions per frame\n' "$name" $((instructions / frames))
done
