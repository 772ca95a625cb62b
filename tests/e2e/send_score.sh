#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sending a score as a player does, to a stand-in ranking server on 127.0.0.1: the Send
# Score dialog from the title menu (Escape backs out without sending; a typed name and
# SEND send the score) and from the Score menu (the same score again is refused, the
# dialog comes back, Enter on the default CANSEL closes it). The server must receive
# exactly one request, byte for byte. It answers only after 3 seconds: meanwhile the
# windows keep repainting their pictures, and "Send OK!" waits for the answer.
source "$(dirname "$0")/lib/common.bash" "$@"

LISTENER=${VEMOL_LOOPBACK_LISTENER:-$(dirname "$VEMOL_BIN")/../tests/net/loopback_listener}
[ -x "$LISTENER" ] || fail "the stand-in ranking server $LISTENER is not built"
"$LISTENER" "$WORK_DIR/port" "$OUT_DIR/request" 3 &
LISTENER_PID=$!
trap 'kill "$LISTENER_PID" 2>/dev/null || true; e2e_cleanup' EXIT
for _ in $(seq 50); do [ -s "$WORK_DIR/port" ] && break; sleep 0.1; done
port=$(cat "$WORK_DIR/port")
rm -f "$OUT_DIR"/request.*

requests() { ls "$OUT_DIR"/request.* 2>/dev/null | wc -l; }

start_game_for_ranking_port "$port"
win=$WIN

# Title menu: Down to Send, Enter; four Tabs reach the name.
dialog=$(open_send_score_from_title)
focus "$dialog"
screenshot dialog_title_menu
key Tab Tab Tab Tab
xdotool type --delay 30 "e2e"
key Escape
wait_gone "Send Score" "Escape"
sleep 0.5
[ "$(requests)" = 0 ] || fail "Escape sent the score"

focus "$win"
screenshot title_before_send
hold_key Return 0.15
dialog=$(wait_titled "Send Score" "Enter on Send again")
focus "$dialog"
key Tab Tab Tab Tab
xdotool type --delay 30 "e2e"
key Tab Tab Tab Tab   # best score, home page, CANSEL, SEND
key Return

# While the server has not answered, the dialog moved aside uncovers the title picture,
# repainted by the waiting game.
sleep 0.5
read -r X Y W H < <(client_geometry "$dialog")
covered="${W}x${H}+${X}+${Y}"
xdotool windowmove "$dialog" 700 560
for _ in $(seq 100); do [ "$(requests)" -ge 1 ] && break; sleep 0.1; done
[ "$(requests)" = 1 ] || fail "the request had not arrived while the game waited for the answer"
sleep 0.3   # the uncovered title repainted
if xdotool search --onlyvisible --name "^Vemol\$" >/dev/null 2>&1; then
    fail "a message box came before the server answered"
fi
screenshot during_send
for shot in title_before_send during_send; do
    convert "$OUT_DIR/$shot.png" -crop "$covered" +repage "$OUT_DIR/${shot}_covered.png"
done
differing=$(compare -metric AE -fuzz 3% "$OUT_DIR/title_before_send_covered.png" \
    "$OUT_DIR/during_send_covered.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "$differing pixels under the moved dialog were not repainted while sending"
box=$(wait_titled "Vemol" "the Send OK! box")
focus "$box"
screenshot send_ok
key Return
wait_gone "Send Score" "after Send OK!"
for _ in $(seq 50); do [ "$(requests)" -ge 1 ] && break; sleep 0.1; done
[ "$(requests)" = 1 ] || fail "the server received $(requests) requests after SEND, expected 1"
printf 'POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi HTTP/1.0\nContent-Length:34\n\nscore=0&name=e2e&url=http://&comm=\n' \
    >"$OUT_DIR/expected_request"
cmp "$OUT_DIR/expected_request" "$OUT_DIR/request.1" || fail "the request bytes differ from the expected ones"

# Score > Send Score: a click on "Score" in the menu bar (the second pop-up, past " File"
# and the separators), then Down and Enter on its first item.
focus "$win"
eval "$(window_geometry "$win")"
xdotool mousemove $((X + 71)) $((Y + 12)) click 1
wait_menu
screenshot score_menu
key Down
sleep 0.2
key Return
dialog=$(wait_titled "Send Score" "Score > Send Score")
focus "$dialog"
screenshot dialog_score_menu
key Tab Tab   # CANSEL, SEND
key Return
box=$(wait_titled "Vemol" "the already-sent box")
focus "$box"
screenshot already_sent
key Return
wait_gone "Vemol" "Enter on the already-sent box"
dialog=$(wait_titled "Send Score" "the dialog reopened after the refusal")
focus "$dialog"
key Return    # the focus is on the dialog itself: Enter is the default button, CANSEL
wait_gone "Send Score" "CANSEL by Enter"
sleep 0.5
[ "$(requests)" = 1 ] || fail "a refused send reached the server"

# The title selection is still on Send: Down to Exit, Enter.
focus "$win"
[ "$(title_selection)" = 1 ] || fail "the title selection left Send"
select_title_entry 2
hold_key Return 0.15
wait_exit; code=$EXIT_CODE
[ "$code" = 0 ] || fail "Exit in the title menu ended with exit code $code"
echo "send_score: ok"
