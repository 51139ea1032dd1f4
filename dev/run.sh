#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program and starts it in build/app/, beside its help.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh
cmake --preset default
cmake --build build -j"$(nproc)" --target tabulon2x2

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "dev/run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it on a desktop or under xvfb-run." >&2
    exit 1
fi
cd build/app
exec ./tabulon2x2 "$@"
