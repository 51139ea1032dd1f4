#!/usr/bin/env bash
# Tests what tools/windows.sh built, under Wine on a virtual display of its own: test_engine
# and test_window; the real program started with the start-up probe (Qt's standard option
# -plugin, as test_startup does on Linux); and the installer installed silently, the
# installed program started, and uninstalled silently, leaving nothing behind. Everything
# runs in a temporary Wine prefix, removed at the end with every process Wine started.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ -z "${TABULON_WINE_DISPLAY:-}" ]; then
    tools/deps.sh wine wine64 fonts-wine xvfb xauth
    TABULON_WINE_DISPLAY=1 exec timeout 1200 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
stage=$PWD/build-windows/tabulon2x2-$version
setup=$PWD/build-windows/tabulon2x2-$version-setup.exe
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

echo "== Wine prefix"
timeout 300 wine wineboot --init >/dev/null 2>&1
timeout 120 wineserver -w
# Debian's Wine does not find its own fonts; without them Qt falls back to a serif font.
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# The runnable folder with the tests, QtTest and the probe beside the program.
tests=$scratch/tests
cp -r "$stage" "$tests"
cp build-windows/tests/test_engine.exe build-windows/tests/test_window.exe "$qt/bin/Qt6Test.dll" "$tests/"
mkdir -p "$tests/probe/generic"
cp build-windows/tests/plugins/generic/startup_probe.dll "$tests/probe/generic/"

cd "$tests"
for test in test_engine test_window; do
    echo "== $test"
    # QtTest's console output does not reach the terminal under Wine: it goes to a file.
    status=0
    run 300 "./$test.exe" -o "$test.txt,txt" || status=1
    grep -E '^(FAIL|XPASS|Totals)|^ +Loc' "$test.txt" || true
    [ "$status" = 0 ] || exit 1
done

echo "== the program with the start-up probe"
# Wine hands WINEQT_* to the program as QT_*.
WINEQT_PLUGIN_PATH='Z:'"${tests//\//\\}"'\probe' run 120 ./tabulon2x2.exe -plugin startupprobe
echo "typed 30 20 20 30, read the Russian result and closed the window"

echo "== the installer"
run 300 "$setup" /S
installed="$WINEPREFIX/drive_c/Program Files/Tabulon 2x2"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tabulon 2x2.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabulon2x2'
[ -f "$installed/tabulon2x2.exe" ] && [ -f "$installed/readme.html" ] || {
    echo "the installer did not install the program" >&2
    exit 1
}
[ -f "$link" ] || { echo "no Start-menu entry" >&2; exit 1; }
run 60 reg query "$key" /v UninstallString >/dev/null
(cd "$installed" && WINEQT_PLUGIN_PATH='Z:'"${tests//\//\\}"'\probe' run 120 ./tabulon2x2.exe -plugin startupprobe)
echo "installed into Program Files with a Start-menu entry; the installed program ran"

# The uninstaller copies itself to a temporary folder and returns at once: wait for Wine.
run 120 "$installed/uninstall.exe" /S
timeout 120 wineserver -w
if [ -e "$installed" ] || [ -e "$link" ] || wine reg query "$key" >/dev/null 2>&1; then
    echo "the uninstaller left something behind:" >&2
    find "$installed" "$link" 2>/dev/null >&2 || true
    exit 1
fi
echo "uninstalled: no files, Start-menu entry or registry key left"
