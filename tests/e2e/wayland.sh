#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game on a Wayland compositor (weston's headless backend in a private runtime
# directory, no X server): the window appears and shows the title picture after the
# opening, so frames run and reach the compositor; the Version dialog opens and closes;
# a close request ends the program with exit code 0. The test build's control file
# stands in for the input a headless compositor has no devices for.
E2E_NO_XVFB=1
source "$(dirname "$0")/lib/common.bash" "$@"
GOLDEN_TITLE=$(readlink -f "$(dirname "$0")/../golden/title.ppm")

export XDG_RUNTIME_DIR="$WORK_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY="vemol-e2e-$$"
unset DISPLAY
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 \
    --use-pixman --debug --idle-time=0 --no-config >"$OUT_DIR/weston.txt" 2>&1 &
HELPER_PIDS="$HELPER_PIDS $!"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start"

# The compositor's view of a window with this title: "x0 y0 x1 y1" of its opaque part,
# the window without its shadow; empty while it is not mapped.
shown_window() {
    timeout 5 weston-debug scene-graph 2>/dev/null |
        awk -v title="top-level window '$1'" 'index($0, title) {found=1; next}
            found && /opaque:/ {gsub(/[^0-9]+/, " "); print $1, $2, $3, $4; exit}
            found && /View/ {exit}' || true
}
wait_shown() {
    local at=""
    for _ in $(seq 50); do
        at=$(shown_window "$1")
        [ -n "$at" ] && { echo "$at"; return 0; }
        sleep 0.2
    done
    fail "no window '$1' on the compositor ($2)"
}
wayland_screenshot() {
    (cd "$WORK_DIR" && rm -f wayland-screenshot-*.png && timeout 10 weston-screenshooter) ||
        fail "no screenshot from weston"
    mv "$WORK_DIR"/wayland-screenshot-*.png "$OUT_DIR/$1.png"
}

: >"$WORK_DIR/control"
start_game GDK_BACKEND=wayland VEMOL_TEST_CONTROL="$WORK_DIR/control"
read -r x0 _ x1 y1 < <(wait_shown " - Vemol - " "the main window did not appear")
[ $((x1 - x0)) = 632 ] || fail "the window is $((x1 - x0)) pixels wide, expected 632"

# The title picture after the opening (about nine seconds; longer on a busy machine).
for _ in $(seq 60); do
    wayland_screenshot title
    convert "$OUT_DIR/title.png" -crop "632x453+$x0+$((y1 - 453))" +repage "$OUT_DIR/picture.png"
    d=$(compare -metric AE "$OUT_DIR/picture.png" "$GOLDEN_TITLE" null: 2>&1 || true)
    [ "${d%% *}" = 0 ] && break
    sleep 0.5
done
[ "${d%% *}" = 0 ] || fail "the window does not show the title picture (${d%% *} pixels differ)"

control menu 40004
wait_shown " Version" "Help > Version" >/dev/null
control default
for _ in $(seq 50); do [ -z "$(shown_window " Version")" ] && break; sleep 0.2; done
[ -z "$(shown_window " Version")" ] || fail "OK did not close the Version dialog"

control close
wait_exit 100
[ "$EXIT_CODE" = 0 ] || fail "closing the window ended the game with exit code $EXIT_CODE"
echo "wayland: ok"
