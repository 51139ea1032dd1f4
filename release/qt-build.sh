#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# In a clean Debian 13 root: builds Qt for 64-bit Windows (MinGW-w64, posix threads) from
# Debian 13's qt6-base source, once, into the cache, keyed by its build steps, with beside
# it the source package, rebuild.sh (those steps, for anyone rebuilding it) and an SPDX bill
# of materials. Prints the installed prefix, and nothing else.
# usage: release/qt-build.sh windows
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ "${1:-}" = windows ] || { echo "usage: release/qt-build.sh windows" >&2; exit 2; }
platform=$1
cache=${TABULON_CACHE:?run it through release/in-clean-root.sh}
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
packages=(g++-mingw-w64-x86-64-posix)
# Only what the program uses; Debian's source has no wintab (so no tablet events).
options=(-xplatform win32-g++ -release -shared -nomake examples -nomake tests -sbom
    -no-opengl -no-dbus -no-icu -no-feature-sql -no-feature-network -no-feature-printsupport
    -no-feature-xml -no-feature-concurrent -no-feature-tabletevent -no-feature-vulkan
    -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng -qt-libjpeg -qt-doubleconversion)
toolchain=$here/../dist/windows/mingw-w64.cmake
compiler=x86_64-w64-mingw32-g++-posix
"$here/../dev/deps.sh" --no-recommends ninja-build dpkg-dev "${packages[@]}"
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
# The build steps, run in the folder of the source package.
rebuild() {
    cat <<EOF
#!/bin/sh
# Builds Qt $version for Windows from Debian 13's qt6-base source package in this folder,
# as the Qt of Tabulon 2x2 was built: on Debian 13 (amd64), with these packages installed:
#   apt-get install --no-install-recommends cmake ninja-build dpkg-dev qt6-base-dev \\
#       qt6-base-dev-tools ${packages[*]}
# usage: sh rebuild.sh PREFIX
set -e
prefix=\$(realpath -m "\${1:?usage: sh rebuild.sh PREFIX}")
# The toolchain file for MinGW-w64 stays beside the Qt it builds.
mkdir -p "\$prefix" && cp mingw-w64.cmake "\$prefix/"
dpkg-source --no-check -x qt6-base_*.dsc qtbase
# The same DLLs from any folder, at any time: source paths relative to this folder, and the
# time stamps the linker writes those of the source package's last changelog entry.
export SOURCE_DATE_EPOCH=\$(dpkg-parsechangelog -l qtbase/debian/changelog -S Timestamp)
map="-ffile-prefix-map=\$(pwd)/="
mkdir -p build && cd build
../qtbase/configure -prefix "\$prefix" ${options[*]} -qt-host-path /usr -- -G Ninja \\
    -DCMAKE_TOOLCHAIN_FILE="\$prefix/mingw-w64.cmake" \\
    -DCMAKE_C_FLAGS="\$map" -DCMAKE_CXX_FLAGS="\$map" \\
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$multiarch/cmake
cmake --build . --parallel
cmake --install .
EOF
}
key=$(printf '%s\n' "$(rebuild)" "$(cat "$toolchain")" "$("$compiler" --version | head -n 1)" |
    sha256sum | cut -c1-16)
prefix=$cache/qt-$platform-$key

describe_source() {
    rebuild >"$prefix/source/rebuild.sh"
    cp "$toolchain" "$prefix/source/mingw-w64.cmake"
}

exec 9>"$prefix.lock"
flock -w 5400 9 || { echo "qt-build.sh: $prefix is locked by another run" >&2; exit 1; }
if [ -f "$prefix/.complete" ]; then
    echo "Qt $version for $platform: reusing $prefix" >&2
    describe_source
    echo "$prefix"
    exit 0
fi

work=$cache/work-$platform-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/source"
echo "Fetching Debian's qt6-base $version source" >&2
source=$("$here/debian-sources.sh" "qt6-base=$version")
[ -n "$source" ] || exit 1
cp -l "$cache/sources/$source"/* "$prefix/source/"
describe_source
echo "Building Qt $version for $platform (15 to 30 minutes on two cores)" >&2
cp "$prefix"/source/* "$work/"
(cd "$work" && sh rebuild.sh "$prefix" >&2)
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix"
