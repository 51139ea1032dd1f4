#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installed layout: the files cmake --install writes (nothing particular to a
# distribution), the manual page, the AppStream metainfo, and the launcher, which starts the
# program where its help page lies. (The Debian package's autopkgtest starts the installed program as the
# launcher does.)
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh desktop-file-utils man-db appstream
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2 tabulon_icons

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

echo "== install into a temporary prefix"
cmake --install build --prefix "$prefix" >/dev/null
actual=$(cd "$prefix" && find . -type f | sort)
expected="./bin/tabulon2x2
./share/applications/tabulon2x2.desktop
./share/icons/hicolor/128x128/apps/tabulon2x2.png
./share/icons/hicolor/48x48/apps/tabulon2x2.png
./share/icons/hicolor/64x64/apps/tabulon2x2.png
./share/icons/hicolor/scalable/apps/tabulon2x2.svg
./share/man/man1/tabulon2x2.1
./share/metainfo/invalid.tabulon2x2.tabulon2x2.metainfo.xml
./share/tabulon2x2/readme.html"
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
echo "$actual"

# The manual page formats without a warning, and its NAME line reads whole in whatis.
page=$prefix/share/man/man1/tabulon2x2.1
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man --warnings: $warnings" >&2; exit 1; }
echo "man --warnings: silent"
whatis=$(lexgrog "$page")
grep -qF '"tabulon2x2 - test the association in a fourfold (2x2) table"' <<<"$whatis" ||
    { echo "lexgrog reads the NAME line as: $whatis" >&2; exit 1; }
echo "whatis: ${whatis#*: }"

entry="$prefix/share/applications/tabulon2x2.desktop"
desktop-file-validate "$entry"
echo "desktop-file-validate: clean"
path=$(sed -n 's/^Path=//p' "$entry")
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$path" = "$prefix/share/tabulon2x2" ] || { echo "Path= is $path" >&2; exit 1; }
[ "$exec_line" = "$prefix/bin/tabulon2x2" ] || { echo "Exec= is $exec_line" >&2; exit 1; }
echo "the launcher starts $exec_line in $path"

# Every finding of the pedantic validation but those on the id, a placeholder until the
# owner's reverse domain name is known.
metainfo=$(appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml || true)
if grep -E '^[EWIP]: ' <<<"$metainfo" | grep -v ': cid-'; then
    echo "appstreamcli validate: $metainfo" >&2
    exit 1
fi
echo "appstreamcli validate: valid but for the placeholder id"
