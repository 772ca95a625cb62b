#!/bin/sh
# Builds Vemol's Debian package: a Release build of the installed programs, configured
# for /usr with the game in /usr/games as Debian keeps games, packed by CPack into
# BUILD-DIR/vemol_<version>_<architecture>.deb. A shipped game never has the test hooks.
# Usage: build-package.sh BUILD-DIR [more cmake arguments]
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
    -DVEMOL_BUILD_TESTS=OFF -DVEMOL_BUILD_BENCH=OFF -DVEMOL_BUILD_TOOLS=OFF -DVEMOL_TEST_HOOKS=OFF "$@"
cmake --build "$build_dir" -j "$(nproc)"
cd "$build_dir" && cpack -G DEB
