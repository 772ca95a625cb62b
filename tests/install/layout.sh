#!/usr/bin/env bash
# An install of the package build into a DESTDIR, and the Debian package itself, hold
# every expected file at its place and nothing else; the desktop entry starts a program
# that is installed.
# Usage: layout.sh PACKAGE-BUILD-DIR EXPECTED-LIST OUT-DIR
set -euo pipefail
build=$1 expected=$2 out=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
# A sorted file list. A manual page counts with or without .gz: the package compresses
# any that another install rule leaves plain (and lintian checks that it did).
file_list() { sed -E 's|^\./||; s|^(usr/share/man/.*)\.gz$|\1|' | LC_ALL=C sort; }

rm -rf "$out"
mkdir -p "$out"
root="$out/root"
DESTDIR="$root" cmake --install "$build" >"$out/install.log"
file_list <"$expected" >"$out/expected.txt"

(cd "$root" && find . -type f -o -type l) | file_list >"$out/installed.txt"
diff -u "$out/expected.txt" "$out/installed.txt" ||
    fail "the install differs from the expected files (-: missing, +: unexpected)"

dpkg-deb --fsys-tarfile "$build"/vemol_*.deb | tar -t | grep -v '/$' | file_list >"$out/packaged.txt"
diff -u "$out/expected.txt" "$out/packaged.txt" ||
    fail "the package differs from the expected files (-: missing, +: unexpected)"

exec_path=$(sed -n 's/^Exec=//p' "$root"/usr/share/applications/*.desktop)
[ -x "$root$exec_path" ] || fail "the desktop entry starts $exec_path, which is not an installed program"
[ -x "$root/usr/games/vemol" ] || fail "the game is not executable"
# A shipped game reads no environment variables of its own: no test hooks.
for hook in VEMOL_TEST_RANKING_HOST VEMOL_TEST_CONTROL VEMOL_TEST_FULL_COLUMN; do
    ! grep -q "$hook" "$root/usr/games/vemol" || fail "the installed game has the test hook $hook"
done
# Each icon decodes (checksums, compressed stream) to the size its folder names.
for icon in "$root"/usr/share/icons/hicolor/*/apps/*.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    [ "$(identify -regard-warnings -format '%wx%h' "$icon")" = "$size" ] || fail "${icon#"$root"/} is not a $size PNG"
done
echo "layout: $(wc -l <"$out/installed.txt") files, as expected"
