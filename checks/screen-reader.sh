#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Uses the program built in build/ by keys alone under Orca on a virtual display, as the
# package's autopkgtest uses the installed one, and prints what Orca says at each step; then
# edits its fields through AT-SPI, as voice control and screen readers' commands do.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without recommendations: no speech server is needed, Orca logs what it would say.
dev/deps.sh --no-recommends desktop
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2
timeout 900 /usr/bin/python3 checks/desktop_session.py --orca \
    /usr/bin/python3 checks/orca_speech.py "$PWD/build/app/tabulon2x2" "$PWD/build/app"
timeout 300 /usr/bin/python3 checks/desktop_session.py \
    /usr/bin/python3 checks/assistive_edits.py "$PWD/build/app/tabulon2x2" "$PWD/build/app"
