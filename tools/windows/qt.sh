#!/usr/bin/env bash
# Run in a Debian 13 root (tools/debian/in-root.sh trixie): builds Qt for 64-bit Windows
# from Debian 13's own qtbase source, with Debian 13's MinGW-w64 and the root's Qt of the
# same version as its host tools, once: the result is kept in the cache outside the clone
# ($TABULON_CACHE), keyed by the Qt version, the configure options, the toolchain file
# and the compiler, beside the Debian source package files it was built from and a bill
# of materials of what went into it. Prints the installed prefix on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${TABULON_CACHE:?run it through tools/debian/in-root.sh}

"$here/../deps.sh" --no-recommends ninja-build g++-mingw-w64-x86-64-posix dpkg-dev
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
# Only what the program uses. Debian's source has no wintab (so no tablet events).
# -sbom writes an SPDX bill of materials of what is built, third-party code included.
options=(-xplatform win32-g++ -release -shared -nomake examples -nomake tests -sbom
    -no-opengl -no-dbus -no-icu -no-feature-sql -no-feature-network -no-feature-printsupport
    -no-feature-xml -no-feature-concurrent -no-feature-tabletevent -no-feature-vulkan
    -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng -qt-libjpeg -qt-doubleconversion)
key=$(printf '%s\n' "$version" "${options[*]}" "$compiler" "$(cat "$here/mingw-w64.cmake")" |
    sha256sum | cut -c1-16)
prefix=$cache/qt-windows-$key

# One build at a time in the shared cache: a second run waits for the first's Qt.
exec 9>"$prefix.lock"
flock -w 5400 9 || { echo "qt.sh: $prefix is locked by another run" >&2; exit 1; }
if [ -f "$prefix/.complete" ]; then
    echo "Windows Qt $version: reusing $prefix" >&2
    echo "$prefix"
    exit 0
fi

work=$cache/work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work/source" "$work/build" "$prefix/source"
# The root is a throwaway copy: its own Debian entries, as deb-src, give the source,
# which apt checks against the archive's signed indexes.
sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/source.list
apt-get update -qq
echo "Fetching Debian's qt6-base $version source" >&2
(cd "$prefix/source" && apt-get source -qq --download-only "qt6-base=$version" >&2)
(cd "$work/source" && dpkg-source --no-check -x "$prefix"/source/*.dsc qtbase >&2)

echo "Building Qt $version for Windows (about 30 minutes on two cores)" >&2
# The toolchain file stays beside the Qt it builds, which chain-loads it from there.
cp "$here/mingw-w64.cmake" "$prefix/mingw-w64.cmake"
printf '%s\n' "${options[@]}" >"$prefix/source/configure-options.txt"
cd "$work/build"
"$work/source/qtbase/configure" -prefix "$prefix" "${options[@]}" -qt-host-path /usr -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" >&2
cmake --build . --parallel "$(nproc)" >&2
cmake --install . >&2
cp -r "$work/source/qtbase/LICENSES" "$prefix/source/LICENSES"
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix"
