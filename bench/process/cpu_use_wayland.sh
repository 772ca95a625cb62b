#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Percent of one core the whole game process uses on a Wayland compositor, on the title
# screen and in play, as cpu_use.sh does under X11. The script starts weston itself as a
# window of a private Xvfb (pixman renderer) in a private runtime directory, so the game,
# run with GDK_BACKEND=wayland, has a keyboard seat and the focus; keys go to weston's
# window with xdotool.
#
#   bench/process/cpu_use_wayland.sh <vemol binary> [seconds, default 20] [output folder]
#
# Also prints weston's own CPU over the same stretches, and the load average, since the
# figures mean little on a machine that is busy with other work.
set -euo pipefail
seconds=${2:-20}
source "$(dirname "$0")/lib.bash" "$1" "${3:-$(mktemp -d)}"

export XDG_RUNTIME_DIR="$WORK_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY="vemol-bench-$$"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 \
    --use-pixman --debug --idle-time=0 --no-config >"$OUT_DIR/weston.txt" 2>&1 &
WESTON_PID=$!
HELPER_PIDS="$HELPER_PIDS $WESTON_PID"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start"

ticks_of() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# "game% weston%" over the next $1 seconds.
both_percent_over() {
    local g0 w0 t0 g1 w1 t1 hz
    hz=$(getconf CLK_TCK)
    g0=$(ticks_of "$GAME_PID"); w0=$(ticks_of "$WESTON_PID"); t0=$(date +%s%N)
    sleep "$1"
    g1=$(ticks_of "$GAME_PID"); w1=$(ticks_of "$WESTON_PID"); t1=$(date +%s%N)
    echo "$(echo "scale=2; 100 * ($g1 - $g0) / $hz / (($t1 - $t0) / 1000000000)" | bc)" \
        "$(echo "scale=2; 100 * ($w1 - $w0) / $hz / (($t1 - $t0) / 1000000000)" | bc)"
}
start_measured_game GDK_BACKEND=wayland
sleep 12                                    # the opening, then the title
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
read -r game weston < <(both_percent_over "$seconds")
echo "title: $game % of a core (weston $weston %) over $seconds s"
win=$(xdotool search --class weston | head -1)
xdotool windowfocus "$win" 2>/dev/null || true
hold_key Return 0.2
sleep 1.5                                   # the 50 frames that tip the title away
read -r game weston < <(both_percent_over "$seconds")
# What weston showed at the end, to see that play was under way.
(cd "$WORK_DIR" && timeout 10 weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot-*.png "$OUT_DIR/play.png") || true
echo "play: $game % of a core (weston $weston %) over $seconds s"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
