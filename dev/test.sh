#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything in build/ (or $TABULON_BUILD_DIR) and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh dbus-daemon
build=${TABULON_BUILD_DIR:-build}
cmake --preset default -B "$build"
cmake --build "$build" -j"$(nproc)"
# On a private session bus that ends with the tests: where dbus-x11 is installed and no
# session bus runs, every Qt program would otherwise start a bus daemon that outlives it.
dbus-run-session -- ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
