#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs every test there; any report fails.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh clang libclang-rt-dev dbus-daemon
cmake --preset sanitize
cmake --build build-sanitize -j"$(nproc)"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
dbus-run-session -- ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
