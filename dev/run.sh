#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it from app/, where the
# help page readme.html lies (help reads it from the working directory).
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh
cmake -S . -B build
cmake --build build -j"$(nproc)" --target tabulon2x2

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "dev/run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); start it on a desktop or under xvfb-run." >&2
    exit 1
fi
cd app
exec ../build/app/tabulon2x2 "$@"
