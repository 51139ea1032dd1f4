#!/usr/bin/env bash
# Tests the web page that release/web-page.sh built, in headless Chromium (Debian's), served
# from 127.0.0.1: both methods' results for tables typed by keys, help, the accessibility
# tree, and the page opened again offline. Remakes docs/screenshot-web.png.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --no-recommends --only chromium python3-websocket
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)
timeout 600 /usr/bin/python3 checks/web_page.py "build-web/tabulon2x2-$version-web" \
    docs/screenshot-web.png
