#!/usr/bin/env bash
# Remakes docs/screenshot.png: the window after calculating 30, 20, 20, 30 (a chi-square
# result, the longest method name) at the default font, on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh xvfb xauth dbus-daemon
cmake -S . -B build
cmake --build build -j"$(nproc)" --target tabulon_screenshot
dbus-run-session -- xvfb-run -a -s "-screen 0 800x600x24" build/tools/screenshot/tabulon_screenshot docs/screenshot.png 30 20 20 30
echo "Wrote docs/screenshot.png"
