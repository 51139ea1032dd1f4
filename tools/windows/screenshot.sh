#!/usr/bin/env bash
# Remakes docs/screenshot-windows.png from what tools/windows.sh built: the Windows program
# after calculating 30, 20, 20, 30, under Wine, in a Wine desktop window, where Wine draws
# the window's frame and title bar as Windows does.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/../.."

. tools/windows/wine.sh
out=$PWD/docs/screenshot-windows.png
cd "$programs"
run 120 explorer /desktop=shot,640x400 tabulon_screenshot.exe shot.png 30 20 20 30
cp shot.png "$out"
echo "Wrote docs/screenshot-windows.png"
