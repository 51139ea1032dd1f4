#!/usr/bin/env bash
# Builds the Windows program on Debian 12 and writes, in build-windows/, the portable zip
# tabulon2x2-<version>-windows-x64.zip and the installer tabulon2x2-<version>-setup.exe.
# The first run also builds Qt for Windows into a cache outside the clone (about 15
# minutes on two cores); later runs reuse it. tools/windows/check.sh tests the result
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh g++-mingw-w64-x86-64-posix ninja-build dpkg-dev icoutils nsis zip
qt=$(tools/windows/qt.sh | tail -n 1)

cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_HOST_PATH=/usr
cmake --build build-windows

# The runnable folder: what the zip holds and the installer installs.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
name=tabulon2x2-$version
stage=build-windows/$name
rm -rf "$stage"
cmake --install build-windows --prefix "$stage" --strip >/dev/null
# Debian's MinGW runtime comes with its symbols: 23 MB of the 25 MB of libstdc++.
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll

zip=build-windows/$name-windows-x64.zip
rm -f "$zip"
(cd build-windows && zip -q -r -9 -X "$name-windows-x64.zip" "$name")

# The uninstaller removes exactly the files installed, then the folders they leave empty.
{
    (cd "$stage" && find . -type f | sort) | sed 's#^\./##; s#/#\\#g; s#.*#Delete "$INSTDIR\\&"#'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's#^\./##; s#/#\\#g; s#.*#RMDir "$INSTDIR\\&"#'
} >build-windows/uninstall-files.nsh
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DICON="$PWD/build-windows/app/tabulon2x2.ico" -DUNINSTALL_FILES="$PWD/build-windows/uninstall-files.nsh" \
    -DOUTFILE="$PWD/build-windows/$name-setup.exe" tools/windows/installer.nsi

ls -l "$zip" "build-windows/$name-setup.exe"
