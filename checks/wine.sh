# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced, from the repository root, by the scripts that run the Windows build under
# Wine, which set $script to their own absolute path. Re-runs the calling script on a
# virtual display of its own and a private session bus that ends with it (Wine would
# otherwise start one that outlives it), bounded in time; then makes a temporary Wine
# prefix with the fonts Qt needs, and a folder $programs where the built programs run: the
# runnable folder with QtTest (which the tests and the start-up probe need) and the tests
# beside it. At exit, every Wine process is ended and both are removed.

if [ -z "${TABULON_WINE_DISPLAY:-}" ]; then
    dev/deps.sh --only wine wine64 fonts-wine xvfb xauth dbus-daemon nsis xdotool python3-xlib \
        osslsigncode
    TABULON_WINE_DISPLAY=1 exec timeout 1200 dbus-run-session -- \
        xvfb-run -a -s "-screen 0 1024x768x24" "$script" "$@"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
name=tabulon2x2-$version
qt=$(sed -n 's#^Qt6_DIR:PATH=\(.*\)/lib/cmake/Qt6$#\1#p' build-windows/CMakeCache.txt)

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    timeout 30 wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# Runs a Windows program, bounded in time; fails with a message naming it.
run() {
    local limit=$1
    shift
    timeout "$limit" wine "$@" || {
        echo "failed ($?): $*" >&2
        return 1
    }
}

timeout 300 wine wineboot --init >/dev/null 2>&1
timeout 120 wineserver -w
# Debian's Wine does not find its own fonts; without them Qt falls back to a serif font.
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

programs=$scratch/programs
cp -r "build-windows/$name" "$programs"
cp build-windows/tests/test_engine.exe build-windows/tests/test_window.exe "$qt/bin/Qt6Test.dll" \
    "$programs/"
mkdir -p "$programs/probe/generic"
cp build-windows/tests/plugins/generic/startup_probe.dll "$programs/probe/generic/"
# The same folders as Windows paths, for Wine's PATH and Qt's plugin path.
programs_windows='Z:'"${programs//\//\\}"
