#!/usr/bin/env bash
# Installs what is missing and makes the Debian package build-package/tabulon2x2_<version>_<arch>.deb:
# a packager's build (no tests) in build-package/, with Debian's hardening build flags,
# reproducible (the same sources give the same bytes, wherever the clone is).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh dpkg-dev file
# Every date in the package is the last commit's, so two builds of one commit agree.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH
# Debian's flags, hardening on, from this folder (so -ffile-prefix-map maps the clone to .).
# CPPFLAGS go with the compiler flags: CMake would not read them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

rm -rf build-package
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB)
