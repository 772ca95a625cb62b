# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Vemol for Linux. `make run` installs what is missing, builds and starts the game;
# `make test` does the same set-up, then builds and runs every test; `make package` builds
# the two Debian packages, vemol and vemol-ranking; `make ranking` builds and starts the
# companion ranking server.

BUILD      ?= build
ASAN_BUILD ?= build-asan
PACKAGE_BUILD ?= build-package
JOBS       ?= $(shell nproc)

# Debian packages: to build and play, to pack the game and the server (hardening flags,
# the last commit's date), then what the tests (which also pack and check the packages:
# lintian, hardening-check from devscripts, systemd-analyze, reuse; the fuzzers with
# clang 14) and the artwork generator add.
RUN_PACKAGES  := g++ cmake ninja-build pkg-config gettext libgtk-3-dev libwayland-dev libsdl2-mixer-dev libfluidsynth-dev libzstd-dev \
                 timgm6mb-soundfont fonts-ipafont-gothic \
                 libcivetweb-dev libsqlite3-dev libpqxx-dev libutf8proc-dev
PACKAGE_PACKAGES := dpkg-dev file git
FORMAT_PACKAGES := clang-format
TEST_PACKAGES := googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils \
                 imagemagick sox libfreetype-dev libpng-dev zlib1g-dev fonts-dejavu-core openbox weston postgresql \
                 chromium desktop-file-utils appstream lintian devscripts systemd reuse curl \
                 python3-prometheus-client \
                 clang-14 libclang-rt-14-dev $(PACKAGE_PACKAGES) $(FORMAT_PACKAGES)

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build deps test-deps package-deps bench package ranking format clean

run: deps build
	./$(BUILD)/app/vemol

test: deps test-deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMOL_BUILD_TESTS=ON \
	      -DVEMOL_BUILD_BENCH=ON -DVEMOL_BUILD_TOOLS=ON -DVEMOL_TEST_HOOKS=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMOL_SANITIZE=ON \
	      -DVEMOL_BUILD_TESTS=ON -DVEMOL_BUILD_BENCH=OFF -DVEMOL_TEST_HOOKS=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE 'e2e|install'

# Playing needs neither GoogleTest nor Google Benchmark, and the game played is built
# without the test hooks, whatever an earlier `make test` left in the build folder.
build:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMOL_BUILD_TESTS=OFF \
	      -DVEMOL_BUILD_BENCH=OFF -DVEMOL_TEST_HOOKS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target vemol

bench: deps test-deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMOL_BUILD_BENCH=ON \
	      -DVEMOL_BUILD_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS) --target vemol_bench ranking_bench replay_bench
	./$(BUILD)/bench/frames/vemol_bench
	./$(BUILD)/bench/server/ranking_bench
	./$(BUILD)/bench/replay/replay_bench

# The Debian packages, in $(PACKAGE_BUILD)/: configured for /usr with the game in /usr/games
# and the server in /usr/sbin, hardened, byte-identical from run to run.
package: deps package-deps
	sh packaging/build-package.sh $(PACKAGE_BUILD)

# The ranking server on its embedded database, ranking.db in the current directory,
# for the game on this machine: http://127.0.0.1:8080/home/kanoreti/ranking.html
ranking: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMOL_BUILD_TESTS=OFF \
	      -DVEMOL_BUILD_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS) --target vemol-ranking
	./$(BUILD)/server/vemol-ranking --listen 127.0.0.1:8080 --db sqlite:ranking.db

# Rewrites every C++ file in the layout of .clang-format (the tests check it).
format:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(FORMAT_PACKAGES)"
	cmake -DSOURCE_DIR=$(CURDIR) -DFIX=ON -P tests/format/format.cmake

# Installs only the packages that are missing, so a set-up machine starts at once.
deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(RUN_PACKAGES)"

test-deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(TEST_PACKAGES)"

package-deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(PACKAGE_PACKAGES)"

install-missing:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD)
