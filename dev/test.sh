#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh dbus-daemon
cmake --preset default
cmake --build build -j"$(nproc)"
# A session bus of their own: with dbus-x11, Qt would start one that outlives them.
dbus-run-session -- ctest --test-dir build --output-on-failure -j"$(nproc)"
