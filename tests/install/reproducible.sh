#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The packages are reproducible: a second package build, later, of a copy of the same
# source in another folder, built in another folder again, without the compiler cache
# (so every object is really compiled anew), gives byte-identical .debs. Both builds take
# SOURCE_DATE_EPOCH from the last commit, as `make package` does.
# Usage: reproducible.sh SOURCE-DIR FIRST-PACKAGE-BUILD-DIR OUT-DIR
set -euo pipefail
source_dir=$1 first=$2 out=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/source"
# The tree as it stands, edits included, with the repository's history to date it.
git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    (cd "$source_dir" && xargs -0 cp --parents -t "$out/source" 2>/dev/null || true)
GIT_DIR=$(cd "$source_dir" && realpath "$(git rev-parse --git-dir)")
export GIT_DIR
CCACHE_DISABLE=1 sh "$out/source/packaging/build-package.sh" "$out/build" >"$out/build.log" 2>&1 ||
    fail "the second package build failed: $(tail -20 "$out/build.log")"
for deb in "$first"/*.deb; do
    name=$(basename "$deb")
    [ -f "$out/build/$name" ] || fail "the second build made no $name"
    if ! cmp "$deb" "$out/build/$name"; then
        command -v diffoscope >/dev/null && diffoscope "$deb" "$out/build/$name" | head -50
        fail "$name differs between the two builds"
    fi
done
echo "reproducible: $(cd "$first" && echo *.deb) byte-identical from two builds"
