#!/usr/bin/env bash
# Builds the Windows program and writes, in build-windows/, the portable zip
# tabulon2x2-<version>-windows-x64.zip, the installer tabulon2x2-<version>-setup.exe and
# the source archive tabulon2x2-<version>-windows-x64-source.tar of the Qt they bundle.
# Everything is built in a clean Debian 13 root (Qt 6.8 and MinGW-w64 from Debian 13);
# the first run also builds Qt for Windows into a cache outside the clone (about 30
# minutes on two cores), later runs reuse it. tools/windows/check.sh tests the result
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/debian/in-root.sh trixie tools/windows/build.sh
