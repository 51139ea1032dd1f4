#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Uses the program by keys alone under Orca on a virtual display and prints what Orca says
# at each step: it must name each field, speak every result and read help line by line.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without their recommendations: no speech server is needed, Orca logs what it would say.
dev/deps.sh --no-recommends orca desktop
build=${TABULON_BUILD_DIR:-build}
cmake --preset default -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tabulon2x2

# A bounded time ends a check that hangs.
timeout 900 /usr/bin/python3 checks/desktop_session.py --orca \
    /usr/bin/python3 checks/orca_speech.py "$PWD/$build/app/tabulon2x2" "$PWD/$build/app"
