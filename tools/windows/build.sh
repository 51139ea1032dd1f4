#!/usr/bin/env bash
# Run in a Debian 13 root (tools/windows.sh runs it there): cross-builds the program, its
# tests, the start-up probe and the screenshot tool against the Qt for Windows that qt.sh
# builds, then writes in build-windows/ the runnable folder with its third-party notices,
# the zip, the installer and the archive of the source Qt was built from.
set -euo pipefail
cd "$(dirname "$0")/../.."

qt=$(tools/windows/qt.sh | tail -n 1)
tools/deps.sh --no-recommends icoutils nsis zip python3

# Configured afresh, so that no setting stays from an earlier Qt. Debian's Qt leaves out
# the plugin targets unless asked for them.
cmake --fresh -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_HOST_PATH=/usr \
    -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF >/dev/null
cmake --build build-windows
. tools/windows/artefacts.sh

# The runnable folder: what the zip holds and the installer installs.
rm -rf "$stage"
cmake --install build-windows --prefix "$stage" --strip >/dev/null
# Debian's MinGW runtime comes with its symbols: most of libstdc++'s size.
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll
python3 tools/windows/notices.py "$qt" "$stage" "$(basename "$source_tar")" \
    >"$stage/THIRD-PARTY-NOTICES.txt"
echo "== the DLLs in the bundle, what they hold, and their notices"
python3 tools/windows/notices.py --check "$qt" "$stage" "$stage/THIRD-PARTY-NOTICES.txt"

rm -f "$zip"
(cd build-windows && zip -q -r -9 -X "$(basename "$zip")" "$name")

# The uninstaller removes exactly the files installed, then the folders they leave empty.
{
    (cd "$stage" && find . -type f | sort) | sed 's#^\./##; s#/#\\#g; s#.*#Delete "$INSTDIR\\&"#'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's#^\./##; s#/#\\#g; s#.*#RMDir "$INSTDIR\\&"#'
} >build-windows/uninstall-files.nsh
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DICON="$PWD/build-windows/app/tabulon2x2.ico" \
    -DUNINSTALL_FILES="$PWD/build-windows/uninstall-files.nsh" -DOUTFILE="$PWD/$setup" \
    -DNOTICES="$PWD/$stage/THIRD-PARTY-NOTICES.txt" tools/windows/installer.nsi

# The corresponding source: Debian's source package of the Qt in the bundle, the options
# and toolchain file it was configured with, and the rules of this build.
rm -f "$source_tar"
tar --create --file "$source_tar" --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime="@$(stat -c %Y "$qt/.complete")" --transform "s#^#$name-windows-x64-source/#" \
    -C "$qt/source" $(cd "$qt/source" && ls -1 | grep -v '^LICENSES$') \
    -C "$qt" mingw-w64.cmake -C "$PWD/tools/windows" qt.sh
ls -l "$zip" "$setup" "$source_tar"
