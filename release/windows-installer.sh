#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the installer of a runnable Windows folder with makensis, signed as sign-windows.sh signs.
set -euo pipefail
folder=$(realpath "${2:?usage: release/windows-installer.sh VERSION FOLDER SETUP.exe}")
setup=$(realpath -m "${3:?usage: release/windows-installer.sh VERSION FOLDER SETUP.exe}")
cd "$(dirname "$0")/.."
# makensis takes the files in the locale's collation order.
LC_ALL=C.UTF-8 makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$1" -DSTAGE="$folder" -DOUTFILE="$setup" \
    -DICON="$PWD/build-windows/dist/windows/tabulon2x2.ico" -DLICENCE="$folder/LICENSE.txt" \
    -DNOTICES="$folder/THIRD-PARTY-NOTICES.txt" -DSIGN="$PWD/release/sign-windows.sh" \
    dist/windows/installer.nsi
