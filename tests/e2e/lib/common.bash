# Shared helpers of the end-to-end scripts: a private Xvfb, the game started in a
# scratch directory, its window found, keys sent, screenshots taken.
# Usage in a script:  source "$(dirname "$0")/lib/common.bash" "$@"
set -euo pipefail

VEMOL_BIN=$(readlink -f "$1")
OUT_DIR=$(mkdir -p "$2" && readlink -f "$2")
WORK_DIR=$(mktemp -d)
GAME_PID=""
XVFB_PID=""

e2e_cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK_DIR"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts a private Xvfb on a display number the server picks itself (no race with other
# servers on the machine) and waits until it answers.
start_xvfb() {
    local fifo="$WORK_DIR/displayfd"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fifo" ] && break
        sleep 0.1
    done
    [ -s "$fifo" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$fifo")"
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && return 0; sleep 0.1; done
    fail "Xvfb does not answer on $DISPLAY"
}

# Starts the game in the scratch directory, extra environment as arguments (VAR=value).
start_game() {
    (cd "$WORK_DIR" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$@" "$VEMOL_BIN" \
        >"$OUT_DIR/stdout.txt" 2>"$OUT_DIR/stderr.txt") &
    GAME_PID=$!
}

# Waits until a window with exactly this title is shown and prints its id; the second
# argument says what was expected, for the failure message.
wait_titled() {
    local id=""
    for _ in $(seq "${3:-50}"); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$1' ($2)"
}

# Waits until no window with this title is shown.
wait_gone() {
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the window '$1' did not close ($2)"
}

# Waits until the main window is mapped and prints its id.
wait_window() { wait_titled " - Vemol - " "the main window did not appear" 100; }

# Waits for the game process to end and sets EXIT_CODE. Call it directly, not inside
# $(...): only this shell can collect its child's exit code.
EXIT_CODE=""
wait_exit() {
    for _ in $(seq "${1:-100}"); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_CODE=0
            wait "$GAME_PID" || EXIT_CODE=$?
            GAME_PID=""
            return 0
        fi
        sleep 0.1
    done
    fail "the game did not exit"
}

key() { xdotool key --delay 0 "$@"; }
# A key pressed as a player does, held for a few frames: the game polls keys once a
# frame, so a press and release within one frame would go unseen.
press() { xdotool keydown "$1"; sleep "${2:-0.12}"; xdotool keyup "$1"; }
# Holds a key down for some seconds.
hold_key() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
screenshot() { import -window root "$OUT_DIR/$1.png"; }
# Prints the colour of a screen pixel as "r,g,b" (0..255).
pixel_at() {
    convert "$OUT_DIR/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# Screen position of the drawing area's top-left pixel: the window's client origin
# plus the menu bar, found as the first row of the cream clear colour or the picture.
window_geometry() { xdotool getwindowgeometry --shell "$1"; }

start_xvfb
