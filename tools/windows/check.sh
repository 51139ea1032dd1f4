#!/usr/bin/env bash
# Tests what tools/windows.sh built, under Wine on a virtual display of its own: test_engine
# and test_window; the real program started with the start-up probe (Qt's standard option
# -plugin, as test_startup does on Linux); and the installer installed silently, the
# installed program started, and uninstalled silently, leaving nothing behind. Everything
# runs in a temporary Wine prefix, removed at the end with every process Wine started
# (tools/windows/wine.sh).
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/../.."

. tools/windows/wine.sh
setup=$PWD/$setup

echo "== the zip"
python3 -m zipfile -l "$zip" | grep -q "^$name/THIRD-PARTY-NOTICES.txt " ||
    { echo "the zip has no third-party notices" >&2; exit 1; }
echo "it holds THIRD-PARTY-NOTICES.txt"

cd "$programs"
for test in test_engine test_window; do
    echo "== $test"
    # QtTest's console output does not reach the terminal under Wine: it goes to a file.
    status=0
    run 300 "./$test.exe" -o "$test.txt,txt" || status=1
    grep -E '^(FAIL|XPASS|Totals)|^ +Loc' "$test.txt" || true
    [ "$status" = 0 ] || exit 1
done
# QtTest names the Qt it runs on: the bundle's.
bundled=$(grep -o -m 1 'Qt 6\.[0-9.]*' test_window.txt)
echo "Qt in the bundle: $bundled"
[[ $bundled == "Qt 6.8."* ]] || { echo "the bundle's Qt is not 6.8" >&2; exit 1; }

echo "== the program with the start-up probe"
# Wine hands WINEQT_* to the program as QT_*.
WINEQT_PLUGIN_PATH="$programs_windows\probe" run 120 ./tabulon2x2.exe -plugin startupprobe
echo "typed 30 20 20 30, read the Russian result and closed the window"

echo "== the installer"
run 300 "$setup" /S
installed="$WINEPREFIX/drive_c/Program Files/Tabulon 2x2"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tabulon 2x2.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabulon2x2'
[ -f "$installed/tabulon2x2.exe" ] && [ -f "$installed/readme.html" ] &&
    [ -f "$installed/THIRD-PARTY-NOTICES.txt" ] || {
    echo "the installer did not install the program" >&2
    exit 1
}
[ -f "$link" ] || { echo "no Start-menu entry" >&2; exit 1; }
run 60 reg query "$key" /v UninstallString >/dev/null
# The probe needs QtTest, which the installation has not: Wine's PATH leads to it.
(cd "$installed" && WINEPATH="$programs_windows" WINEQT_PLUGIN_PATH="$programs_windows\probe" \
    run 120 ./tabulon2x2.exe -plugin startupprobe)
echo "installed into Program Files with a Start-menu entry; the installed program ran"

# The uninstaller copies itself to a temporary folder and returns at once: wait for Wine.
run 120 "$installed/uninstall.exe" /S
timeout 120 wineserver -w
if [ -e "$installed" ] || [ -e "$link" ] || timeout 60 wine reg query "$key" >/dev/null 2>&1; then
    echo "the uninstaller left something behind:" >&2
    find "$installed" "$link" 2>/dev/null >&2 || true
    exit 1
fi
echo "uninstalled: no files, Start-menu entry or registry key left"
