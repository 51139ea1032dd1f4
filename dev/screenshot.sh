#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes docs/screenshot.png: the program after 30, 20, 20, 30 on a virtual display; with
# "windows", docs/screenshot-windows.png from the Windows build under Wine, framed as Windows
# does; with "web", the page's, light and dark, on a desktop and a phone, with help open, from
# release/web-page.sh's page in Chromium (the web checks take them into build/screenshots/).
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."

if [ "${1:-}" = web ]; then
    dev/deps.sh --no-recommends --only chromium nodejs
    npm ci --ignore-scripts --no-audit --no-fund >/dev/null
    page=$PWD/build-web/tabulon2x2-$(dev/version.sh)-web
    [ -d "$page" ] || { echo "screenshot.sh: no $page: run release/web-page.sh first" >&2; exit 1; }
    TABULON_PAGE=$page TABULON_PVALUES_WASM=build-web/tests/web/engine_pvalues.wasm \
        TABULON_SCREENSHOTS=docs timeout 300 node --test --test-name-pattern=screenshots \
        checks/web/chromium.test.mjs
    echo "Wrote docs/screenshot-web*.png"
    exit
fi

if [ "${1:-}" = windows ]; then
    . checks/wine.sh
    cd "$programs"
    TABULON_PROBE_SCREENSHOT=shot.png WINEQT_PLUGIN_PATH="$programs_windows\probe" \
        run 120 explorer /desktop=shot,640x400 tabulon2x2.exe -plugin startupprobe
    cp shot.png "$OLDPWD/docs/screenshot-windows.png"
    echo "Wrote docs/screenshot-windows.png"
    exit
fi

dev/deps.sh desktop
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2 startup_probe
cd build/app
QT_PLUGIN_PATH=../tests/plugins TABULON_PROBE_SCREENSHOT=../../docs/screenshot.png \
    timeout 60 /usr/bin/python3 ../../checks/desktop_session.py ./tabulon2x2 -plugin startupprobe
echo "Wrote docs/screenshot.png"
