#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The menu bar from the keyboard: F10 pulls down " File", Down and Enter choose Exit,
# and the program ends with exit code 0; on a bare display and under a window manager.
source "$(dirname "$0")/lib/common.bash" "$@"

exit_by_menu_bar_key() {
    start_game
    local win
    win=$(wait_window)
    wait_title_screen "$win"
    focus_window "$win"
    sleep 0.3
    key F10
    sleep 0.5
    screenshot "file_menu_$1"
    key Down
    sleep 0.3
    key Return
    wait_exit 100
    [ "$EXIT_CODE" = 0 ] || fail "F10, Down, Enter ended with exit code $EXIT_CODE ($1)"
}

exit_by_menu_bar_key bare
start_openbox
exit_by_menu_bar_key openbox
echo "menu_bar_key: ok"
