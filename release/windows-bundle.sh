#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows program and writes, in build-windows/, the portable zip
# tabulon2x2-<version>-windows-x64.zip, the installer tabulon2x2-<version>-setup.exe and
# the source archive tabulon2x2-<version>-windows-x64-source.tar of the program and of the
# third-party code they bundle. Everything is built in a clean Debian 13 root, with its MinGW-w64 and
# against the Qt for Windows that qt-build.sh builds once (about 30 minutes on two cores).
# The program, the installer and its uninstaller are signed where the environment names
# a key (release/sign-windows.sh). It also cross-builds the tests and the start-up probe,
# which checks/windows-under-wine.sh runs.
set -euo pipefail
# A step that fails says which, where its own message would not.
trap 'echo "$0: line $LINENO: $BASH_COMMAND failed ($?)" >&2' ERR
cd "$(dirname "$0")/.."
[ -n "${TABULON_IN_ROOT:-}" ] || exec release/in-clean-root.sh trixie "$0" "$@"

qt=$(release/qt-build.sh windows)
dev/deps.sh --no-recommends icoutils nsis zip python3-debian osslsigncode ca-certificates git \
    xz-utils
# Every time in what it makes is the commit's: in the PE headers (binutils' linker and
# strip take SOURCE_DATE_EPOCH), the signatures' signing time, the files of the zip, the
# installer and the source archive.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

version=$(dev/version.sh)
name=tabulon2x2-$version
# Where the owner's key signs, the signatures are also kept apart, to be published beside the
# files: whoever rebuilds them unsigned attaches these and gets the same bytes (README).
# Those of an earlier signed build go, unless they are the ones to attach.
signatures=$PWD/build-windows/$name-signatures
[ "${TABULON_SIGN_DETACHED:-}" = "$signatures" ] || rm -rf "$signatures"
if [ -n "${TABULON_SIGN_PKCS12:-}${TABULON_SIGN_PKCS11_MODULE:-}" ]; then
    export TABULON_SIGN_DETACHED=$signatures
    mkdir -p "$signatures"
fi

# Configured afresh, so that no setting stays from an earlier Qt.
TABULON_QT_WINDOWS=$qt cmake --preset windows --fresh >/dev/null
cmake --build build-windows
stage=build-windows/$name
source_tar=build-windows/$name-windows-x64-source.tar

# The runnable folder: what the zip holds and the installer installs.
rm -rf "$stage"
cmake --install build-windows --prefix "$stage" --strip >/dev/null
# Debian's MinGW runtime comes with its symbols: most of libstdc++'s size.
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll
release/sign-windows.sh "$stage/tabulon2x2.exe"

# The DLLs, what they hold and their notices; the source of the MinGW runtime's, from the
# Debian source packages it was built from, GCC's included.
mapfile -t dlls < <(cd "$stage" && find . -name '*.dll' | LC_ALL=C sort)
notices=(python3 "$PWD/release/windows-notices.py")
mapfile -t runtime < <(cd "$stage" && "${notices[@]}" sources "$qt" "${dlls[@]}" 2>/dev/null)
mapfile -t runtime_source < <(release/debian-sources.sh "${runtime[@]}")
echo "== the DLLs in the bundle, what they hold, and their notices"
(cd "$stage" && "${notices[@]}" notices "$qt" "$(basename "$source_tar")" "${dlls[@]}") \
    >"$stage/THIRD-PARTY-NOTICES.txt"

# The folder's files with the commit's time and modes that no umask changes, in the zip in
# name order, with times in UTC and no Unix owners or times of their own.
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
chmod -R u=rwX,go=rX "$stage"
rm -f "build-windows/$name-windows-x64.zip"
(cd build-windows && find "$name" -type f | LC_ALL=C sort |
    TZ=UTC zip -q -9 -X -D "$name-windows-x64.zip" -@)
release/windows-installer.sh "$version" "$stage" "build-windows/$name-setup.exe"

# The corresponding source: the program's own at this commit (with any changes to tracked
# files), Debian's source packages of the Qt and the MinGW runtime in the bundle, the steps
# that built Qt and the toolchain file they take.
release/program-source.sh "$name" "build-windows/$name.tar.xz"
rm -f "$source_tar"
tar --create --file "$source_tar" --sort=name --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX \
    --mtime="@$SOURCE_DATE_EPOCH" --transform "s#^#$name-windows-x64-source/#" \
    --exclude=.complete -C build-windows "$name.tar.xz" \
    -C "$qt/source" $(cd "$qt/source" && ls -1 | grep -v '^LICENSES$') \
    ${runtime_source:+-C "$TABULON_CACHE/sources" "${runtime_source[@]}"}
ls -l build-windows/"$name"-*
