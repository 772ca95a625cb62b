#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Vemol's two Debian packages, the game (vemol) and the ranking server
# (vemol-ranking): a hardened Release build of the installed programs, configured for
# /usr with the game in /usr/games as Debian keeps games, packed by CPack into
# BUILD-DIR/<package>_<version>-<revision>_<architecture>.deb. A shipped game never has
# the test hooks.
# The packages are reproducible: every time stamp inside is SOURCE_DATE_EPOCH, taken from
# the last commit when unset (or from the game's Debian changelog outside a git checkout),
# and no path of the source or build folder reaches the binaries.
# Usage: build-package.sh BUILD-DIR [more cmake arguments]
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null) ||
        SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source_dir/packaging/vemol.changelog.in" -STimestamp)
fi
export SOURCE_DATE_EPOCH
# The files CPack stages are made by this user, whatever umask the shell has.
umask 022
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DVEMOL_HARDENING=ON -DVEMOL_SANITIZE=OFF \
    -DVEMOL_BUILD_TESTS=OFF -DVEMOL_BUILD_BENCH=OFF -DVEMOL_BUILD_TOOLS=OFF -DVEMOL_TEST_HOOKS=OFF "$@"
cmake --build "$build_dir" -j "$(nproc)"
# Packages of an earlier version left in the folder would be taken for this build's.
rm -f "$build_dir"/*.deb
cd "$build_dir" && cpack -G DEB
