#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The game as players get it (built without the test hooks) reaches a ranking server
# named at run time: once by --ranking-server under a Japanese locale, once by a key
# file in $XDG_CONFIG_DIRS, after the player's own key file names no server, in
# English. Each run sends its score from the title menu's Send to the real vemol-ranking
# on 127.0.0.1, and both rows are then on the ranking page. The Send Score dialog is kept
# in both languages (dialog_ja.png, dialog_en.png).
# Usage: VEMOL_PLAY_GAME=PLAY-BUILD-GAME ranking_server_at_run_time.sh TEST-BUILD-GAME OUT-DIR
source "$(dirname "$0")/lib/common.bash" "$@"

use_play_build
[ -x "$RANKING_SERVER" ] || fail "the ranking server $RANKING_SERVER is not built"
start_ranking_server "$RANKING_SERVER"

# One game: the title, Send, the dialog kept as dialog_$1.png, the name $2 typed and sent,
# the box after the send closed, Exit. Further arguments: the game's environment.
send_one() {
    local language=$1 name=$2 dialog
    shift 2
    start_game "$@"
    WIN=$(wait_window)
    wait_title_screen "$WIN"
    dialog=$(open_send_score_from_title)
    focus "$dialog"
    sleep 0.3
    import -window "$dialog" "$OUT_DIR/dialog_$language.png"
    send_as "$name"
    focus "$WIN"
    select_title_entry 2
    tap_key Return
    wait_exit 100
    [ "$EXIT_CODE" = 0 ] || fail "the game sending as $name ended with $EXIT_CODE"
}

GAME_ARGS=(--ranking-server "127.0.0.1:$port")
send_one ja ByOption LANG=C.UTF-8 LANGUAGE=ja
GAME_ARGS=()
[ ! -s "$OUT_DIR/stderr.txt" ] || fail "the run with --ranking-server complained: $(cat "$OUT_DIR/stderr.txt")"

mkdir -p "$WORK_DIR/config/vemol" "$WORK_DIR/xdg/vemol"
printf '[ranking]\nserver=not a server\n' >"$WORK_DIR/config/vemol/vemol.conf"
printf '# the club'"'"'s server\n[ranking]\nserver=127.0.0.1:%s\n' "$port" >"$WORK_DIR/xdg/vemol/vemol.conf"
send_one en ByKeyFile LANG=C.UTF-8 LANGUAGE=en
grep -q "^vemol: $WORK_DIR/config/vemol/vemol.conf:2: \"not a server\" is not a host name" "$OUT_DIR/stderr.txt" ||
    fail "the refused key file was not named with its line: $(cat "$OUT_DIR/stderr.txt")"

[ "$(grep -c ' POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi 200 .* stored$' "$OUT_DIR/server.log")" = 2 ] ||
    fail "the server did not store both scores: $(cat "$OUT_DIR/server.log")"
exec 5<>"/dev/tcp/127.0.0.1/$port"
printf 'GET /home/kanoreti/ranking.html HTTP/1.0\r\n\r\n' >&5
cat <&5 >"$OUT_DIR/ranking.html"
exec 5<&-
for name in ByOption ByKeyFile; do
    grep -q "<td class=\"name\">$name</td>" "$OUT_DIR/ranking.html" || fail "the ranking page lacks $name"
done
# The two languages' dialogs: the same layout, other words.
[ "$(identify -format '%wx%h' "$OUT_DIR/dialog_ja.png")" = "$(identify -format '%wx%h' "$OUT_DIR/dialog_en.png")" ] ||
    fail "the dialog's size depends on the language"
[ "$(pixels_differing dialog_ja.png dialog_en.png)" -gt 500 ] || fail "the dialog reads the same in English and Japanese"
echo "ranking_server_at_run_time: ok"
