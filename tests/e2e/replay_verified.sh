#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A verified score from start to end, with the game as players get it (built without the
# test hooks, which would change the game behind the recorder's back): a short game
# played with the keys (rolls and shots until one scores, then HOME), its score sent from the
# title menu's Send to the real vemol-ranking on 127.0.0.1, the game's replay uploaded to
# the path the server's answer names, the server's check logged, the entry verified in
# the JSON and on the page headless Chromium renders (verified entries only, kept as
# replay_page.png), and the replay downloaded byte for byte as the game wrote it.
# Usage: VEMOL_PLAY_GAME=PLAY-BUILD-GAME replay_verified.sh TEST-BUILD-GAME OUT-DIR
source "$(dirname "$0")/lib/common.bash" "$@"

use_play_build
[ -x "$RANKING_SERVER" ] || fail "the ranking server $RANKING_SERVER is not built"
command -v chromium >/dev/null || fail "chromium is not installed (Debian package chromium)"
start_ranking_server "$RANKING_SERVER"

# GET over bash's own TCP support; the reply's body into file $2.
http_get() {
    exec 5<>"/dev/tcp/127.0.0.1/$port"
    printf 'GET %s HTTP/1.0\r\n\r\n' "$1" >&5
    sed '1,/^\r$/d' <&5 >"$2"
    exec 5<&-
}
# Waits for a line of the server's log matching $1; $2 says what it would show.
wait_logged() {
    for _ in $(seq 100); do grep -qE "$1" "$OUT_DIR/server.log" && return 0; sleep 0.1; done
    fail "the server did not log $2: $(cat "$OUT_DIR/server.log")"
}

# The score's digits on the board.
score_hash() {
    import -silent -window root -crop "80x20+$((AX + 534))+$((AY + 148))" -depth 8 rgb:- 2>/dev/null | md5sum
}

# A short game: Enter on Start, then rolls across the board with a shot after each until
# a shot has scored (only a game that raises the run's best score is sent with its
# replay), then HOME to give up.
start_game_for_ranking_port "$port"
focus "$WIN"
hold_key Return 0.15
wait_play_screen
nothing=$(score_hash)
rolls=0
until [ "$(score_hash)" != "$nothing" ]; do
    [ "$rolls" -lt 400 ] || fail "no shot scored in $rolls rolls"
    if [ $((rolls / 11 % 2)) = 0 ]; then press Left 0.1; else press Right 0.1; fi
    press space 0.1
    rolls=$((rolls + 1))
done
screenshot scored
hold_key Home 0.1
wait_title_still

dialog=$(open_send_score_from_title)
focus "$dialog"
send_as "Replayed"

wait_logged ' POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi 200 .* stored$' "the stored score"
wait_logged ' POST /replays/upload/\(token\) 202 .* replay of entry 1$' "the replay's upload"
wait_logged ' replay of entry 1 \(score [0-9]+\) verified in ' "the replay's check"
score=$(sed -n 's/.* replay of entry 1 (score \([0-9]*\)) verified in .*/\1/p' "$OUT_DIR/server.log")
[ "$score" -gt 0 ] || fail "the verified score is $score"

http_get '/api/ranking.json?verified=1' "$OUT_DIR/ranking.json"
grep -q "\"score\":$score,\"name\":\"Replayed\",.*\"verified\":true,\"replay\":\"/replays/1.vemolreplay\"}" \
    "$OUT_DIR/ranking.json" || fail "the JSON does not show the verified entry: $(cat "$OUT_DIR/ranking.json")"

page="http://127.0.0.1:$port/home/kanoreti/ranking.html?verified=1"
chromium_at_800x600() {
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$WORK_DIR/chromium-$1" --window-size=800,600 "${@:2}" 2>>"$OUT_DIR/chromium.log"
}
chromium_at_800x600 dom --dump-dom "$page" >"$OUT_DIR/replay_page.html" || fail "chromium could not load $page"
grep -q "<td class=\"score\">$score<a class=\"verified\" href=\"/replays/1.vemolreplay\"" "$OUT_DIR/replay_page.html" \
    || fail "the page Chromium loaded does not mark the entry verified (see replay_page.html)"
chromium_at_800x600 shot --screenshot="$OUT_DIR/replay_page.png" "$page" >/dev/null \
    || fail "chromium could not take the screenshot"

http_get /replays/1.vemolreplay "$OUT_DIR/downloaded.vemolreplay"
[ -s "$WORK_DIR/last.vemolreplay" ] || fail "the game left no last.vemolreplay"
cmp -s "$OUT_DIR/downloaded.vemolreplay" "$WORK_DIR/last.vemolreplay" \
    || fail "the downloaded replay is not the game's last.vemolreplay"

focus "$WIN"
select_title_entry 2
tap_key Return
wait_exit 100
[ "$EXIT_CODE" = 0 ] || fail "the game ended with $EXIT_CODE"
! grep -q "not uploaded" "$OUT_DIR/stderr.txt" || fail "the game says the upload failed: $(cat "$OUT_DIR/stderr.txt")"
kill -TERM "$SERVER_PID"
code=0
wait "$SERVER_PID" || code=$?
[ "$code" = 0 ] || fail "the ranking server ended with exit code $code after SIGTERM"
echo "replay_verified: ok"
