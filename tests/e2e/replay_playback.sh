#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The game as players get it (no test hooks) plays a short game and leaves
# last.vemolreplay; `vemol --replay` shows its board under a title bar that says so,
# follows it to its end (else it says so on standard error), then the title, ready to
# play; vemol.dat is untouched. A damaged replay: one message box, exit status 1.
# Usage: VEMOL_PLAY_GAME=PLAY-BUILD-GAME replay_playback.sh TEST-BUILD-GAME OUT-DIR
source "$(dirname "$0")/lib/common.bash" "$@"

use_play_build
fingerprint() { stat -c '%s %Y' "$1" && md5sum <"$1"; }
printf '\x88\x13\x00\x00' >"$WORK_DIR/vemol.dat"   # 5000, out of the short game's reach
best_before=$(fingerprint "$WORK_DIR/vemol.dat")

start_game
WIN=$(wait_window)
wait_title_screen "$WIN"
focus_window "$WIN"
hold_key Return 0.15
wait_play_screen
for k in Left Left space Right space Up space; do press "$k"; done
hold_key Home 0.1
wait_title_still
for _ in $(seq 100); do [ -s "$WORK_DIR/last.vemolreplay" ] && break; sleep 0.1; done
[ -s "$WORK_DIR/last.vemolreplay" ] || fail "the game left no last.vemolreplay"
[ ! -e "$WORK_DIR/best.vemolreplay" ] || fail "a game below the best score left best.vemolreplay"
select_title_entry 2
hold_key Return 0.1
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "the game exited with code $EXIT_CODE"
cp "$WORK_DIR/last.vemolreplay" "$OUT_DIR/"

# The playback: the board under a title bar that says so, then the title again.
GAME_ARGS=(--replay "$WORK_DIR/last.vemolreplay")
start_game
WIN=$(wait_titled " - Vemol - replay - " "no window showing the replay" 300)
find_area "$WIN"
wait_play_screen
screenshot playback
WIN=$(wait_titled " - Vemol - " "the title bar did not come back after the replay" 300)
wait_title_screen "$WIN"
wait_title_still
screenshot after_playback
! grep -q . "$OUT_DIR/stderr.txt" || fail "the playback said: $(cat "$OUT_DIR/stderr.txt")"
focus_window "$WIN"   # ready to play: Start begins a game of the player's own
hold_key Return 0.15
wait_play_screen
hold_key Home 0.1
wait_title_still
select_title_entry 2
hold_key Return 0.1
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "the game exited with code $EXIT_CODE after the replay"
[ "$(fingerprint "$WORK_DIR/vemol.dat")" = "$best_before" ] || fail "vemol.dat changed"
[ "$(fingerprint "$OUT_DIR/last.vemolreplay")" != "$(fingerprint "$WORK_DIR/last.vemolreplay")" ] ||
    fail "the game played after the replay left no replay of its own"

# A damaged replay: one message box, nothing else, exit status 1.
head -c 40 "$OUT_DIR/last.vemolreplay" >"$WORK_DIR/damaged.vemolreplay"
GAME_ARGS=("$WORK_DIR/damaged.vemolreplay")   # named alone, as the file manager does
start_game
BOX=$(wait_titled "Vemol" "no message box for a damaged replay")
sleep 0.3
import -window "$BOX" "$OUT_DIR/damaged_box.png"
[ "$(xdotool search --onlyvisible --name '^ - Vemol - ' 2>/dev/null | wc -l)" = 0 ] ||
    fail "the game window opened for a damaged replay"
focus "$BOX"
key Return
wait_exit
[ "$EXIT_CODE" = 1 ] || fail "a damaged replay gave exit status $EXIT_CODE"
grep -q "^vemol: $WORK_DIR/damaged.vemolreplay: This replay is damaged" "$OUT_DIR/stderr.txt" ||
    fail "no line on standard error for the damaged replay: $(cat "$OUT_DIR/stderr.txt")"
echo "PASS"
