#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# In a clean Debian 13 root, against the cached Qt (qt-build.sh), builds the Windows program
# and writes to build-windows/ the zip, the installer and the archive of their source,
# signed where the environment names a key (sign-windows.sh); also the tests and the
# start-up probe that checks/windows-under-wine.sh runs.
set -euo pipefail
trap 'echo "$0: line $LINENO: $BASH_COMMAND failed ($?)" >&2' ERR
cd "$(dirname "$0")/.."
[ -n "${TABULON_IN_ROOT:-}" ] || exec release/in-clean-root.sh trixie "$0" "$@"

qt=$(release/qt-build.sh windows)
dev/deps.sh --no-recommends icoutils nsis zip python3-debian osslsigncode ca-certificates git \
    xz-utils
# Every time in what it makes is the commit's (binutils' ld and strip take it too).
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

version=$(dev/version.sh)
name=tabulon2x2-$version
# The key's signatures are also kept apart, for whoever rebuilds the files (docs/installing-windows.md).
signatures=$PWD/build-windows/$name-signatures
[ "${TABULON_SIGN_DETACHED:-}" = "$signatures" ] || rm -rf "$signatures"
if [ -n "${TABULON_SIGN_PKCS12:-}${TABULON_SIGN_PKCS11_MODULE:-}" ]; then
    export TABULON_SIGN_DETACHED=$signatures
    mkdir -p "$signatures"
fi

TABULON_QT_WINDOWS=$qt cmake --preset windows --fresh >/dev/null
cmake --build build-windows
stage=build-windows/$name
source_tar=build-windows/$name-windows-x64-source.tar

rm -rf "$stage"
cmake --install build-windows --prefix "$stage" --strip >/dev/null
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll
release/sign-windows.sh "$stage/tabulon2x2.exe"

# The DLLs' notices, and the Debian source packages of the MinGW runtime's.
mapfile -t dlls < <(cd "$stage" && find . -name '*.dll' | LC_ALL=C sort)
notices=(python3 "$PWD/release/windows-notices.py")
mapfile -t runtime < <(cd "$stage" && "${notices[@]}" sources "$qt" "${dlls[@]}" 2>/dev/null)
mapfile -t runtime_source < <(release/debian-sources.sh "${runtime[@]}")
echo "== the DLLs in the bundle, what they hold, and their notices"
(cd "$stage" && "${notices[@]}" notices "$qt" "$(basename "$source_tar")" "${dlls[@]}") \
    >"$stage/THIRD-PARTY-NOTICES.txt"

# The same zip under any umask, time zone or locale.
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
chmod -R u=rwX,go=rX "$stage"
rm -f "build-windows/$name-windows-x64.zip"
(cd build-windows && find "$name" -type f | LC_ALL=C sort |
    TZ=UTC zip -q -9 -X -D "$name-windows-x64.zip" -@)
release/windows-installer.sh "$version" "$stage" "build-windows/$name-setup.exe"

# The corresponding source: the program's, Qt's and the MinGW runtime's.
program=$(release/upstream-tarball.sh)
qt_sources=()
for entry in "$qt/source"/*; do
    [ "${entry##*/}" = LICENSES ] || qt_sources+=("${entry##*/}")
done
rm -f "$source_tar"
tar --create --file "$source_tar" --sort=name --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX \
    --mtime="@$SOURCE_DATE_EPOCH" --transform "s#^#$name-windows-x64-source/#" \
    --exclude=.complete -C "$(dirname "$program")" "$(basename "$program")" \
    -C "$qt/source" "${qt_sources[@]}" \
    ${runtime_source:+-C "$TABULON_CACHE/sources" "${runtime_source[@]}"}
ls -l build-windows/"$name"-*
