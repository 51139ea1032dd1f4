#!/usr/bin/env bash
# Installs what is missing, builds the program in build/ and makes the Debian
# package build/tabulon2x2_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh dpkg-dev file
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2
(cd build && cpack -G DEB)
