#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game installed into a DESTDIR starts from its desktop launcher under Xvfb: in
# $XDG_DATA_HOME/vemol, or ~/.local/share/vemol when that is empty, the folder made on
# the way; its window carries the desktop entry's id as its class and shows the title.
# Usage: starts.sh PACKAGE-BUILD-DIR OUT-DIR GOLDEN-TITLE
set -euo pipefail
build=$1 out=$2 golden=$3
rm -rf "$out/root"
mkdir -p "$out"
DESTDIR="$out/root" cmake --install "$build" >"$out/install.log"
source "$(dirname "$0")/../e2e/lib/common.bash" "$out/root/usr/libexec/vemol/vemol-launcher" "$out"

# Prints the directory the game runs in, as soon as the program in GAME_PID is the game.
game_directory() {
    for _ in $(seq 200); do
        [ "$(readlink "/proc/$GAME_PID/exe" || true)" = "$out/root/usr/games/vemol" ] && break
        sleep 0.1
    done
    readlink "/proc/$GAME_PID/cwd"
}

# The first start, with XDG_DATA_HOME set: the folder is made below it.
start_game HOME="$WORK_DIR/home" XDG_DATA_HOME="$WORK_DIR/data"
win=$(wait_window)
[ "$(game_directory)" = "$WORK_DIR/data/vemol" ] || fail "the game runs in $(game_directory), not in \$XDG_DATA_HOME/vemol"
[ "$(stat -c %a "$WORK_DIR/data/vemol")" = 700 ] || fail "the data folder is not private to the player"
class=$(xprop -id "$win" WM_CLASS)
[ "$class" = 'WM_CLASS(STRING) = "io.github.vemol.Vemol", "io.github.vemol.Vemol"' ] ||
    fail "the window's class is not the desktop entry's id: $class"

# The title screen, pixel for pixel the game's golden title, after the opening clip.
eval "$(window_geometry "$win")"
differing=""
for _ in $(seq 60); do
    sleep 0.5
    screenshot title
    convert "$OUT_DIR/title.png" -crop "632x453+$X+$((Y + HEIGHT - 453))" +repage "$OUT_DIR/title_area.png"
    differing=$(compare -metric AE "$OUT_DIR/title_area.png" "$golden" null: 2>&1 || true)
    [ "${differing%% *}" -lt 100 ] && break
done
[ "${differing%% *}" -lt 100 ] || fail "the title screen did not appear ($differing pixels differ from the golden title)"
kill "$GAME_PID"
wait "$GAME_PID" || true

# With XDG_DATA_HOME empty, the default below the home folder.
start_game HOME="$WORK_DIR/home" XDG_DATA_HOME=
wait_window >/dev/null
[ "$(game_directory)" = "$WORK_DIR/home/.local/share/vemol" ] ||
    fail "the game runs in $(game_directory), not in ~/.local/share/vemol"

# Started by hand through a relative path, the launcher still finds the game (which,
# without a display, says so and ends).
code=0
(cd "$out/root/usr/libexec" && HOME="$WORK_DIR/home" env -u DISPLAY -u WAYLAND_DISPLAY ./vemol/vemol-launcher) \
    2>"$OUT_DIR/relative.txt" || code=$?
[ "$code" != 0 ] && grep -q "display" "$OUT_DIR/relative.txt" ||
    fail "the launcher started by a relative path did not reach the game: $(cat "$OUT_DIR/relative.txt")"
echo "starts: ok; the title differed from the golden one in ${differing%% *} pixels"
