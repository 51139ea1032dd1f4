#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what cmake --install writes on any distribution: the files, the launcher (which
# starts the program where its help lies) and the AppStream metainfo. Lintian checks the
# manual page (man --warnings, lexgrog) in the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh desktop-file-utils appstream
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2 tabulon_icons
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build --prefix "$prefix" >/dev/null

diff -u - <(cd "$prefix" && find . -type f | sort) <<'EOF_FILES'
./bin/tabulon2x2
./share/applications/tabulon2x2.desktop
./share/icons/hicolor/128x128/apps/tabulon2x2.png
./share/icons/hicolor/48x48/apps/tabulon2x2.png
./share/icons/hicolor/64x64/apps/tabulon2x2.png
./share/icons/hicolor/scalable/apps/tabulon2x2.svg
./share/man/man1/tabulon2x2.1
./share/metainfo/invalid.tabulon2x2.tabulon2x2.metainfo.xml
./share/tabulon2x2/readme.html
EOF_FILES
echo "cmake --install: the expected files"

entry=$prefix/share/applications/tabulon2x2.desktop
desktop-file-validate "$entry"
grep -qx "Path=$prefix/share/tabulon2x2" "$entry" && grep -qx "Exec=$prefix/bin/tabulon2x2" "$entry" ||
    { grep -E '^(Path|Exec)=' "$entry" >&2; exit 1; }
echo "desktop-file-validate: clean; the launcher starts bin/tabulon2x2 in share/tabulon2x2"

# Every finding but those on the id, a placeholder until the owner's domain is known.
metainfo=$(appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml || true)
! grep -E '^[EWIP]: ' <<<"$metainfo" | grep -v ': cid-' ||
    { echo "appstreamcli validate: $metainfo" >&2; exit 1; }
echo "appstreamcli validate: valid but for the placeholder id"
