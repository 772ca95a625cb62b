#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole round trip with the real ranking server on 127.0.0.1: the player sends a
# score through the Send Score dialog, the server stores it, and the row shows in the
# JSON and on the ranking page as headless Chromium renders it at 800 x 600 (the page's
# text through --dump-dom, a screenshot kept as ranking_page.png). SIGTERM then stops the
# server with exit code 0.
source "$(dirname "$0")/lib/common.bash" "$@"

SERVER=${VEMOL_RANKING_SERVER:-$(dirname "$VEMOL_BIN")/../server/vemol-ranking}
[ -x "$SERVER" ] || fail "the ranking server $SERVER is not built"
command -v chromium >/dev/null || fail "chromium is not installed (Debian package chromium)"
start_ranking_server "$SERVER"

# GET over bash's own TCP support; prints the reply's body.
http_get() {
    exec 5<>"/dev/tcp/127.0.0.1/$port"
    printf 'GET %s HTTP/1.0\r\n\r\n' "$1" >&5
    sed '1,/^\r$/d' <&5
    exec 5<&-
}
chromium_at_800x600() {
    local profile=$1
    shift
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$WORK_DIR/chromium-$profile" --window-size=800,600 "$@" 2>>"$OUT_DIR/chromium.log"
}

start_game_for_ranking_port "$port"
open_send_score_from_title >/dev/null
sleep 0.5
send_as "RoundTrip" "round trip & back"

for _ in $(seq 50); do grep -q ' POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi 200 .* stored$' "$OUT_DIR/server.log" && break; sleep 0.1; done
grep -q ' POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi 200 .* stored$' "$OUT_DIR/server.log" \
    || fail "the server did not store the game's score: $(cat "$OUT_DIR/server.log")"

http_get /api/ranking.json >"$OUT_DIR/ranking.json"
grep -q '"rank":1,"score":0,"name":"RoundTrip","homePage":"http://","homePageIsLink":false,"comment":"round trip \\u0026 back"' \
    "$OUT_DIR/ranking.json" || fail "the JSON lacks the row: $(cat "$OUT_DIR/ranking.json")"

page=http://127.0.0.1:$port/home/kanoreti/ranking.html
chromium_at_800x600 dom --dump-dom "$page" >"$OUT_DIR/ranking_page.html" || fail "chromium could not load $page"
grep -q '<td class="name">RoundTrip</td><td>round trip &amp; back</td>' "$OUT_DIR/ranking_page.html" \
    || fail "the page Chromium loaded lacks the row (see ranking_page.html)"
chromium_at_800x600 shot --screenshot="$OUT_DIR/ranking_page.png" "$page" >/dev/null \
    || fail "chromium could not take the screenshot"
[ "$(identify -format '%wx%h' "$OUT_DIR/ranking_page.png")" = 800x600 ] || fail "the screenshot is not 800 x 600"

# The title selection is still on Send: Down to Exit, Enter.
focus "$WIN"
tap_key Down
sleep 0.5
tap_key Return
wait_exit 50
kill -TERM "$SERVER_PID"
code=0
wait "$SERVER_PID" || code=$?
[ "$code" = 0 ] || fail "the ranking server ended with exit code $code after SIGTERM"
echo "ranking_round_trip: ok"
