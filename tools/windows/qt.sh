#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qtbase source, the same version as the
# host's qt6-base-dev, once: the result is kept in a cache outside the clone, keyed by
# that version, the configure options, the toolchain file and the compiler, and reused
# by every later run. Prints the installed prefix on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
# Only what the program uses. Debian's source has no wintab (so no tablet events), and in
# 6.4 the platform plugin links without Direct2D only if DirectWrite 3 is off too.
options=(-xplatform win32-g++ -release -shared -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-feature-sql -no-feature-network -no-feature-printsupport
    -no-feature-xml -no-feature-concurrent -no-feature-tabletevent -no-feature-vulkan
    -no-feature-direct2d -no-feature-directwrite3 -qt-zlib -qt-pcre -qt-harfbuzz
    -qt-freetype -qt-libpng -qt-libjpeg -qt-doubleconversion)
key=$(printf '%s\n' "$version" "${options[*]}" "$compiler" "$(cat "$here/mingw-w64.cmake")" |
    sha256sum | cut -c1-16)
prefix=$cache/qt-windows-$key

if [ -f "$prefix/.complete" ]; then
    echo "Windows Qt $version: reusing $prefix" >&2
    echo "$prefix"
    exit 0
fi

work=$cache/work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/apt/parts" "$work/source"

# The source comes through apt, verified against the archive's signed indexes, from a
# private list of the machine's own Debian archives with deb-src in place of deb: the
# machine's apt configuration and its package lists stay as they are.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
{
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # deb822 stanzas of this release, as deb-src
        awk -v RS= -v ORS='\n\n' -v codename="$codename" \
            '$0 ~ "Suites:[^\n]*" codename && /Types:[^\n]*deb/' "$file" |
            sed -E 's/^Types:.*/Types: deb-src/'
    done
} >"$work/apt/parts/debian.sources"
{
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        grep -E "^deb[[:space:]].*[[:space:]]$codename([[:space:]]|-)" "$file" || true
    done
} | sed -E 's/^deb /deb-src /' >"$work/apt/sources.list"
apt=(apt-get -q -o "Dir::Etc::SourceList=$work/apt/sources.list"
    -o "Dir::Etc::SourceParts=$work/apt/parts" -o "Dir::State::Lists=$work/apt/lists"
    -o "Dir::Cache=$work/apt" -o "Dir::Cache::archives=$work/apt/archives"
    -o "APT::Get::List-Cleanup=0")
echo "Fetching Debian's qt6-base $version source" >&2
"${apt[@]}" update >&2
(cd "$work/source" && "${apt[@]}" source --download-only "qt6-base=$version" >&2)
# apt has checked the files against the signed index; the .dsc signature needs no second check.
(cd "$work/source" && dpkg-source --no-check -x ./*.dsc qtbase >&2)

echo "Building Qt $version for Windows (about 15 minutes on two cores)" >&2
# The toolchain file stays beside the Qt it builds, which chain-loads it from there.
mkdir -p "$prefix" "$work/build"
cp "$here/mingw-w64.cmake" "$prefix/mingw-w64.cmake"
cd "$work/build"
"$work/source/qtbase/configure" -prefix "$prefix" "${options[@]}" -qt-host-path /usr -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2
cmake --build . --parallel "$(nproc)" >&2
cmake --install . >&2
touch "$prefix/.complete"
cd "$cache"
rm -rf "$work"
echo "$prefix"
