#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Tests the web page that release/web-page.sh built, served from 127.0.0.1, in Debian's
# Chromium. Headless: against the rows of tests/data/examples.tsv, as a desktop and as a
# phone; its engine against the desktop's on every table the tests know; the right edge at
# 320, 360 and 1024 CSS px; help; the page opened again offline. It prints what the page
# loads and when it takes input on a slow phone, and remakes docs/screenshot-web.png and
# docs/screenshot-web-phone.png. Then in a real Chromium on a virtual display, by keys alone
# under the Orca screen reader, as checks/screen-reader.sh uses the program, printing what
# Orca spoke at each step. The desktop's engine is built in $TABULON_BUILD_DIR (default
# build/).
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --no-recommends chromium python3-websocket orca python3-pyatspi python3-xlib \
    at-spi2-core xvfb xauth xdotool
build=${TABULON_BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target engine_rows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)

# Every table of the examples and of the R reference, as the desktop's engine judges them.
native=$(mktemp)
trap 'rm -f "$native"' EXIT
{
    awk -F '\t' '$1 == "table" { print $3, $4, $5, $6 }' tests/data/examples.tsv
    awk -F '\t' '$1 ~ /^[0-9]+$/ { print $1, $2, $3, $4 }' tests/data/reference.tsv
} | "$build/tests/web/engine_rows" >"$native"

page=build-web/tabulon2x2-$version-web
timeout 900 /usr/bin/python3 checks/web_page.py "$page" "$native" \
    build-web/tests/web/engine_pvalues.wasm docs

echo "== the page by keys under Orca, in Chromium on a virtual display"
timeout 900 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
    /usr/bin/python3 checks/orca_speech.py --web "$PWD/$page"
