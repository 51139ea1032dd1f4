#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds this commit's Windows files again as a user checking a release would: another path,
# umask, time zone, locale and clock, no key, the kept signatures attached. Fails naming each
# file that differs from build-windows/'s, shown by diffoscope.
set -euo pipefail
cd "$(dirname "$0")/.."

name=tabulon2x2-$(dev/version.sh)
files=("$name/tabulon2x2.exe" "$name-windows-x64.zip" "$name-setup.exe"
       "$name-windows-x64-source.tar")
other=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-rebuild.XXXXXX")
trap 'rm -rf "$other"' EXIT
git clone -q --no-local . "$other/elsewhere"
signatures=$PWD/build-windows/$name-signatures
[ -d "$signatures" ] || signatures=
(umask 0002 && cd "$other/elsewhere" && env -u TABULON_SIGN_PKCS12 -u TABULON_SIGN_PKCS11_MODULE \
    ${signatures:+TABULON_SIGN_DETACHED="$signatures"} release/in-clean-root.sh trixie bash -c \
    'dev/deps.sh --no-recommends --only faketime locales-all &&
     TZ=Asia/Tokyo LANG=ru_RU.UTF-8 NO_FAKE_STAT=1 faketime -f +3d release/windows-bundle.sh' \
    >"$other/build.log" 2>&1) || { tail -n 30 "$other/build.log" >&2; exit 1; }

differ=()
for file in "${files[@]}"; do
    if cmp "build-windows/$file" "$other/elsewhere/build-windows/$file"; then
        echo "the same: $file ($(stat -c %s "build-windows/$file") bytes)"
    else
        differ+=("$file")
    fi
done
((${#differ[@]})) || exit 0
dev/deps.sh --no-recommends --only diffoscope-minimal
for file in "${differ[@]}"; do
    timeout 600 diffoscope --text - "build-windows/$file" "$other/elsewhere/build-windows/$file" |
        head -n 60 || true
done
exit 1
