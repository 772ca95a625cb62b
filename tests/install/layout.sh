#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# For each of the two packages, an install of its component of the package build into a
# DESTDIR and the Debian package itself hold every expected file at its place and
# nothing else; the packages depend on what they link, and the game not on the server's
# libraries; the desktop entry starts a program that is installed.
# Usage: layout.sh PACKAGE-BUILD-DIR EXPECTED-DIR OUT-DIR (EXPECTED-DIR/<package>.txt)
set -euo pipefail
build=$1 expected=$2 out=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
# A sorted file list. A manual page counts with or without .gz: the package compresses
# any that another install rule leaves plain (and lintian checks that it did).
file_list() { sed -E 's|^\./||; s|^(usr/share/man/.*)\.gz$|\1|' | LC_ALL=C sort; }

rm -rf "$out"
mkdir -p "$out"
root="$out/root"
for package in vemol vemol-ranking; do
    component=game
    [ "$package" = vemol ] || component=ranking
    DESTDIR="$out/$package" cmake --install "$build" --component "$component" >"$out/install-$package.log"
    cp -a "$out/$package/." "$root"
    file_list <"$expected/$package.txt" >"$out/expected-$package.txt"
    (cd "$out/$package" && find . -type f -o -type l) | file_list >"$out/installed-$package.txt"
    dpkg-deb --fsys-tarfile "$build/${package}_"*.deb | tar -t | grep -v '/$' | file_list >"$out/packaged-$package.txt"
    for list in installed packaged; do
        diff -u "$out/expected-$package.txt" "$out/$list-$package.txt" ||
            fail "the $list $package differs from the expected files (-: missing, +: unexpected)"
    done
done

# The game depends on what it links, never on the server's libraries; the server's
# dependencies are computed too; the operator's settings are a conffile.
game_depends=$(dpkg-deb -f "$build"/vemol_*.deb Depends)
server_depends=$(dpkg-deb -f "$build"/vemol-ranking_*.deb Depends)
for library in civetweb sqlite pqxx; do
    ! grep -q "$library" <<<"$game_depends" || fail "the game depends on the server's $library: $game_depends"
    grep -q "$library" <<<"$server_depends" || fail "the server does not depend on $library: $server_depends"
done
grep -q libgtk-3 <<<"$game_depends" || fail "the game's dependencies were not computed: $game_depends"
[ "$(dpkg-deb --ctrl-tarfile "$build"/vemol-ranking_*.deb | tar -xO ./conffiles)" = /etc/default/vemol-ranking ] ||
    fail "/etc/default/vemol-ranking is not the server package's conffile"

exec_path=$(sed -n 's/^Exec=//p' "$root"/usr/share/applications/*.desktop | sed 's/ %f$//')
[ -x "$root$exec_path" ] || fail "the desktop entry starts $exec_path, which is not an installed program"
[ -x "$root/usr/games/vemol" ] || fail "the game is not executable"
# A shipped game reads no environment variables of its own: no test hooks.
for hook in VEMOL_TEST_CONTROL VEMOL_TEST_FULL_COLUMN; do
    ! grep -q "$hook" "$root/usr/games/vemol" || fail "the installed game has the test hook $hook"
done
# Each icon decodes (checksums, compressed stream) to the size its folder names.
for icon in "$root"/usr/share/icons/hicolor/*/apps/*.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    [ "$(identify -regard-warnings -format '%wx%h' "$icon")" = "$size" ] || fail "${icon#"$root"/} is not a $size PNG"
done
echo "layout: $(cat "$out"/installed-*.txt | wc -l) files in two packages, as expected"
