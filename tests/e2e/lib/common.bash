# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the end-to-end scripts: a private Xvfb, the game started in a
# scratch directory, its window found, keys sent, screenshots taken.
# Usage in a script:  source "$(dirname "$0")/lib/common.bash" "$@"
set -euo pipefail

VEMOL_BIN=$(readlink -f "$1")
OUT_DIR=$(mkdir -p "$2" && readlink -f "$2")
WORK_DIR=$(mktemp -d)
GAME_PID=""
XVFB_PID=""
HELPER_PIDS=""   # other servers a script starts (a window manager, a compositor)

e2e_cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    for pid in $HELPER_PIDS; do kill "$pid" 2>/dev/null || true; done
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK_DIR"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts a private Xvfb (screen size XVFB_SCREEN, set before sourcing) on a display number the server picks itself (no race with other
# servers on the machine) and waits until it answers.
start_xvfb() {
    local fifo="$WORK_DIR/displayfd"
    Xvfb -displayfd 3 -noreset -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
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

# Gives the window the keyboard focus, through the window manager when there is one.
focus_window() {
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
        xdotool windowactivate --sync "$1" 2>/dev/null || true
    else
        xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    fi
}

# Starts the game in the scratch directory, extra environment as arguments (VAR=value),
# the game's own arguments in GAME_ARGS. The player's key files are the scratch
# directory's (XDG_CONFIG_HOME, XDG_CONFIG_DIRS), never the machine's. A game built
# without the test hooks ignores the VEMOL_TEST_* variables: a run that needs one is
# skipped.
GAME_ARGS=()
start_game() {
    local setting
    for setting in "$@"; do
        case "$setting" in
        VEMOL_TEST_*=*)
            grep -q "${setting%%=*}" "$VEMOL_BIN" ||
                { echo "SKIP: this game was built without -DVEMOL_TEST_HOOKS=ON"; exit 77; } ;;
        esac
    done
    (cd "$WORK_DIR" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" XDG_CONFIG_HOME="$WORK_DIR/config" \
        XDG_CONFIG_DIRS="$WORK_DIR/xdg" "$@" "$VEMOL_BIN" "${GAME_ARGS[@]}" \
        >"$OUT_DIR/stdout.txt" 2>"$OUT_DIR/stderr.txt") &
    GAME_PID=$!
}

# Waits until a window with exactly this title is shown and prints its id; the second
# argument says what was expected, for the failure message.
wait_titled() {
    local id=""
    for _ in $(seq "${3:-200}"); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$1' ($2)"
}

# Waits until no window with this title is shown.
wait_gone() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the window '$1' did not close ($2)"
}

# Waits until the main window is mapped and prints its id.
wait_window() { wait_titled " - Vemol - " "the main window did not appear" 300; }

# Waits for the game process to end and sets EXIT_CODE. Call it directly, not inside
# $(...): only this shell can collect its child's exit code.
EXIT_CODE=""
wait_exit() {
    for _ in $(seq "${1:-300}"); do
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

# Sets AX and AY, the screen position of the drawing area's top-left pixel (below the
# menu bar), and MENUBAR, the menu bar's height.
find_area() {
    eval "$(window_geometry "$1")"
    MENUBAR=$((HEIGHT - 453))
    AX=$X
    AY=$((Y + MENUBAR))
}

# A fingerprint of what the drawing area shows now (find_area first).
area_hash() {
    import -silent -window root -crop "632x453+$AX+$AY" -depth 8 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}

# Prints "r g b" (0..255) of a pixel of the drawing area as shown now.
area_rgb() {
    import -silent -window root -crop "1x1+$((AX + $1))+$((AY + $2))" -depth 8 rgb:- 2>/dev/null |
        od -An -tu1 | awk '{ print $1 + 0, $2 + 0, $3 + 0 }'
}

# The brightest channel of a pixel of the drawing area as shown now.
area_brightness() {
    area_rgb "$1" "$2" | awk '{ m = $1; if ($2 > m) m = $2; if ($3 > m) m = $3; print m }'
}

# Waits, up to a generous limit, until the title picture fills the drawing area after
# the opening (about nine seconds; longer on a busy machine). The opening leaves the
# area dark outside the clip's 128 x 96 corner at (260, 180): the gold of the title's
# big lettering at (200, 115) is the title picture. Calls find_area itself, again on
# every look: a window manager may still be placing the window.
wait_title_screen() {
    for _ in $(seq "${2:-240}"); do
        find_area "$1"
        [ "$(area_brightness 200 115)" -gt 150 ] && return 0
        sleep 0.25
    done
    screenshot no_title
    fail "the title screen did not appear after the opening"
}

# Whether the board of a game is shown: the red first digit of the score at (538, 158),
# which neither the title, the transition nor the drifting tiles of a break-up show.
play_screen_shown() {
    local rgb
    read -r -a rgb <<<"$(area_rgb 538 158)"
    [ "${rgb[0]}" -gt 180 ] && [ "${rgb[1]}" -lt 120 ]
}

# Waits, up to a generous limit, until the title picture stands still again after a
# game's break-up (find_area first).
wait_title_still() {
    local before="" now
    for _ in $(seq 200); do
        now=$(area_hash)
        [ "$now" = "$before" ] && [ "$(area_brightness 200 115)" -gt 150 ] && return 0
        before=$now
        sleep 0.2
    done
    fail "the title screen did not come back after the game"
}

# Waits, up to a generous limit, until the board of a game is shown.
wait_play_screen() {
    for _ in $(seq "${1:-150}"); do
        play_screen_shown && return 0
        sleep 0.1
    done
    screenshot no_board
    fail "the board did not appear after Enter on Start"
}

# Waits until a menu of the game's menu bar is pulled down (a second window of the game
# is shown), or with "gone" until it has closed again.
wait_menu() {
    local want=2
    [ "${1:-}" = gone ] && want=1
    for _ in $(seq 200); do
        [ "$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | wc -l)" = "$want" ] && return 0
        sleep 0.1
    done
    fail "the menu did not ${1:-open}"
}

# Fingerprint of the title menu's entries and selection mark (find_area first).
title_menu_hash() {
    import -silent -window root -crop "150x120+$((AX + 268))+$((AY + 325))" -depth 8 rgb:- 2>/dev/null |
        md5sum | cut -d' ' -f1
}

# Prints the selected title entry, 0 Start, 1 Send, 2 Exit: the band of the menu that
# holds the orange selection mark (find_area first).
title_selection() {
    import -silent -window root -crop "150x105+$((AX + 268))+$((AY + 325))" miff:- 2>/dev/null |
        convert - +repage -fx "(r > 0.8 && g < 0.75 && b < 0.4) ? 1 : 0" -scale '1x3!' -depth 16 txt:- |
        awk -F'[(,)]' 'NR > 1 { v = $4 + 0; if (v > best) { best = v; at = NR - 2 } } END { print at + 0 }'
}

# Moves the title selection to entry $1 with Up and Down, each pressed for three frames
# (a held key moves the mark again after eight) and followed until the mark has moved.
# A starved game may miss so short a press, or see it twice: the mark is read after
# every press and the way corrected.
select_title_entry() {
    local now next
    for _ in $(seq 8); do
        now=$(title_selection)
        [ "$now" = "$1" ] && return 0
        if [ "$now" -lt "$1" ]; then next=Down; else next=Up; fi
        xdotool keydown "$next" sleep 0.05 keyup "$next"
        for _ in $(seq 30); do
            [ "$(title_selection)" != "$now" ] && break
            sleep 0.1
        done
    done
    fail "the title selection did not reach entry $1"
}

key() { xdotool key --delay 0 "$@"; }
# A key pressed as a player does, held for a few frames: the game polls keys once a
# frame, so a press and release within one frame would go unseen.
press() { xdotool keydown "$1"; sleep "${2:-0.12}"; xdotool keyup "$1"; }
# Holds a key down for some seconds.
hold_key() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
screenshot() { import -window root "$OUT_DIR/$1.png"; }
# Gives a window the keyboard focus, then lets its toolkit settle before keys are typed.
focus() { focus_window "$1"; sleep 0.3; }
# The game polls its keys once a frame: a title-menu key is held for a few frames.
tap_key() { hold_key "$1" 0.08; }

# Starts the game sending its scores to port $1 of 127.0.0.1 (further arguments: extra
# environment), waits out the opening and sets WIN to the main window's id.
WIN=""
start_game_for_ranking_port() {
    GAME_ARGS=(--ranking-server "127.0.0.1:$1")
    start_game "${@:2}"
    GAME_ARGS=()
    WIN=$(wait_window)
    wait_title_screen "$WIN"
}

# The runs that need the game as players get it, without the test hooks: VEMOL_BIN becomes
# the play build's game (VEMOL_PLAY_GAME), RANKING_SERVER the test build's server.
use_play_build() {
    RANKING_SERVER=$(dirname "$VEMOL_BIN")/../server/vemol-ranking
    VEMOL_BIN=$(readlink -f "${VEMOL_PLAY_GAME:?names the play build game}")
    [ -x "$VEMOL_BIN" ] || fail "the play build's game $VEMOL_BIN is not built"
    ! grep -q VEMOL_TEST_CONTROL "$VEMOL_BIN" || fail "$VEMOL_BIN was built with the test hooks"
}

# On the title screen: Down to Send, Enter; waits for the Send Score dialog and prints
# its id. The dialog opens with the focus on itself; its tab order is CANSEL, SEND,
# comment, name, best score, home page.
open_send_score_from_title() {
    focus "$WIN"
    select_title_entry 1
    hold_key Return 0.15
    wait_titled "Send Score" "Enter on Send in the title menu"
}
# In the open Send Score dialog: types NAME (and COMMENT when given), presses SEND and
# closes the box that answers.
send_as() {
    key Tab Tab Tab   # CANSEL, SEND, comment
    [ -z "${2:-}" ] || xdotool type --delay 30 "$2"
    key Tab
    xdotool type --delay 30 "$1"
    key Tab Tab Tab Tab   # best score, home page, CANSEL, SEND
    key Return
    wait_titled "Vemol" "the box after sending as $1" >/dev/null
    sleep 0.3
    key Return
    wait_gone "Send Score" "after sending as $1"
}
# Prints the colour of a screen pixel as "r,g,b" (0..255).
pixel_at() {
    convert "$OUT_DIR/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# The window's inside as shell assignments X= Y= WIDTH= HEIGHT=. Read through
# client_geometry: xdotool counts a window manager's frame twice.
window_geometry() {
    local x y w h
    read -r x y w h < <(client_geometry "$1")
    echo "X=$x Y=$y WIDTH=$w HEIGHT=$h"
}
# The window's inside (menu bar and drawing area) on the screen as "X Y WIDTH HEIGHT",
# exact also under a window manager's frame.
client_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}'
}
# A window's frame extents as FL= FT= (0 without a window manager).
frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS | awk -F'[=,]' '/CARDINAL/ {l=$2; t=$4} END {print "FL=" (l+0) " FT=" (t+0)}'
}

# Starts openbox (real fullscreen needs a window manager), with any extra key bindings
# given as openbox keybind elements, and waits until it manages the screen.
start_openbox() {
    cat >"$WORK_DIR/openbox.xml" <<XML
<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard>${1:-}</keyboard></openbox_config>
XML
    openbox --config-file "$WORK_DIR/openbox.xml" >/dev/null 2>&1 &
    HELPER_PIDS="$HELPER_PIDS $!"
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.1
    done
    fail "openbox did not start"
}

# Sends one line to the game's test control file (test builds only).
control() { echo "$*" >>"$WORK_DIR/control"; }

# Pixels that differ between two pictures (files in OUT_DIR).
pixels_differing() { local d; d=$(compare -metric AE "$OUT_DIR/$1" "$OUT_DIR/$2" null: 2>&1 || true); echo "${d%% *}"; }

# Pixels of a picture that change when it is shrunk to half by dropping every other
# row and column and enlarged again: 0 exactly when it is made of hard 2 x 2 blocks.
pixels_off_the_grid() {
    convert "$OUT_DIR/$1" -sample 50% -sample 200% "$OUT_DIR/grid_$1"
    pixels_differing "$1" "grid_$1"
}

[ -n "${E2E_NO_XVFB:-}" ] || start_xvfb

# Starts the ranking server $1 on a free port of 127.0.0.1 with a scratch database; it
# stops with the test. Sets SERVER_PID and port (read from its start-up line).
start_ranking_server() {
    "$1" --listen 127.0.0.1:0 --db "sqlite:$WORK_DIR/ranking.db" 2>"$OUT_DIR/server.log" &
    SERVER_PID=$!
    HELPER_PIDS="$HELPER_PIDS $SERVER_PID"
    port=""
    for _ in $(seq 100); do
        port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$OUT_DIR/server.log")
        [ -n "$port" ] && return 0
        sleep 0.1
    done
    fail "the ranking server did not start: $(cat "$OUT_DIR/server.log")"
}
