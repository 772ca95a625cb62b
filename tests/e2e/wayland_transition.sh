#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The new-game transition on a Wayland compositor (weston as a window of Xvfb, so it has
# a keyboard): the frames that tip the title away each reach the compositor, counted as
# the commits of the game's picture surface in weston's timeline, and the board follows.
source "$(dirname "$0")/lib/common.bash" "$@"

export XDG_RUNTIME_DIR="$WORK_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY="vemol-e2e-$$"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 \
    --use-pixman --debug --idle-time=0 --no-config >"$OUT_DIR/weston.txt" 2>&1 &
HELPER_PIDS="$HELPER_PIDS $!"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start"

# The title's first frame is the first commit of the game's picture surface: the opening
# is over once weston's timeline names that surface.
timeout 60 weston-debug timeline >"$OUT_DIR/opening.txt" 2>&1 &
HELPER_PIDS="$HELPER_PIDS $!"
start_game GDK_BACKEND=wayland
for _ in $(seq 400); do grep -q '"desc":"sub-surface"' "$OUT_DIR/opening.txt" && break; sleep 0.1; done
grep -q '"desc":"sub-surface"' "$OUT_DIR/opening.txt" || fail "the title never reached the compositor"
focus_window "$(xdotool search --class weston | head -1)" 2>/dev/null || true
# Commits of the picture (a sub-surface: one per changed frame) over a stretch of time.
commits_over() {
    timeout "$1" weston-debug timeline >"$OUT_DIR/$2.txt" 2>&1 &
    local watcher=$!
    sleep 0.3
    [ -n "${3:-}" ] && hold_key "$3" 0.15
    wait "$watcher" || true
    local id
    id=$(grep -o '"id":[0-9]*, "type":"weston_surface", "desc":"sub-surface"' "$OUT_DIR/$2.txt" |
        grep -o '[0-9]*' | head -1)
    [ -n "$id" ] && grep -c "core_commit_damage\", \"ws\":$id " "$OUT_DIR/$2.txt" || echo 0
}
title=$(commits_over 1.3 title)
[ "$title" -lt 10 ] || fail "the still title alone made $title commits in a second"
moving=$(commits_over 1.3 transition Return)
[ "$moving" -ge $((title + 10)) ] || fail "only $moving pictures reached the compositor in the transition"
echo "wayland_transition: $moving commits in the transition, $title on the title: ok"
