#!/usr/bin/env bash
# Tests what release/windows-bundle.sh built, under Wine on a virtual display of its own:
# test_engine and test_window; the real program started with the start-up probe (Qt's
# standard option -plugin, as test_startup does on Linux); the installer for the current
# user and for all users, upgrades (from an earlier build, into the folder chosen then,
# and while the program runs) and uninstalling (while it runs, and for good); and, with
# TABULON_SIGN_CA set to the certificate that signed them, the signatures of the program,
# the installer and the uninstaller. Everything runs in a temporary Wine prefix, removed
# at the end with every process Wine started (checks/wine.sh).
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."

. checks/wine.sh
repo=$PWD
stage=$repo/build-windows/$name
zip=build-windows/$name-windows-x64.zip
setup=$repo/build-windows/$name-setup.exe

echo "== the zip"
python3 -m zipfile -l "$zip" | grep "^$name/THIRD-PARTY-NOTICES.txt " >/dev/null ||
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

# The registry value of the installation for the current user (HKCU) or all users (HKLM).
key=Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tabulon2x2
registered() {
    timeout 60 wine reg query "$1\\$key" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}
unix_path() { timeout 60 winepath -u "$1" 2>/dev/null; }
# The installed files and what they hold, to tell whether an installer touched them.
contents() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }
# Starts the installed program in its folder, and waits for its window.
start_program() {
    (cd "$1" && exec timeout 600 wine ./tabulon2x2.exe) >/dev/null 2>&1 &
    program=$!
    timeout 60 xdotool search --sync --name '^Tabulon 2x2$' >/dev/null ||
        { echo "the installed program showed no window" >&2; exit 1; }
}
# Closes it as a user does, and waits for it to end.
close_program() {
    timeout 60 wine taskkill /im tabulon2x2.exe >/dev/null 2>&1
    timeout 60 tail --pid="$program" -f /dev/null ||
        { echo "the program did not end when asked to" >&2; exit 1; }
}
# Runs the installed program with the start-up probe (its QtTest lies on Wine's PATH).
probe_installed() {
    (cd "$1" && WINEPATH="$programs_windows" WINEQT_PLUGIN_PATH="$programs_windows\probe" \
        run 120 ./tabulon2x2.exe -plugin startupprobe)
}
expect_status() {
    local expected=$1 status=0
    shift
    timeout 300 wine "$@" || status=$?
    [ "$status" = "$expected" ] || { echo "exit code $status, not $expected: $*" >&2; exit 1; }
}

echo "== the installer asks for no administrator rights"
level=$(grep -a -o 'requestedExecutionLevel level="[A-Za-z]*"' "$setup")
echo "$level"
[ "$level" = 'requestedExecutionLevel level="highestAvailable"' ] ||
    { echo "the installer demands elevation" >&2; exit 1; }

echo "== an earlier build, for the current user, into a folder of the user's choice"
# The same installer, made from this build with a file that this one does not ship.
earlier=$scratch/earlier
cp -r "$stage" "$earlier"
echo "earlier" >"$earlier/earlier-only.txt"
(cd "$repo" && makensis -V1 -INPUTCHARSET UTF8 -DVERSION=0.9.0 -DSTAGE="$earlier" \
    -DICON="$PWD/build-windows/dist/windows/tabulon2x2.ico" -DNOTICES="$earlier/THIRD-PARTY-NOTICES.txt" \
    -DOUTFILE="$scratch/earlier-setup.exe" dist/windows/installer.nsi)
run 300 "$scratch/earlier-setup.exe" /S /CurrentUser '/D=C:\Custom\Tabulon'
folder=$(unix_path "$(registered HKCU InstallLocation)")
[ -f "$folder/earlier-only.txt" ] && [ "$(registered HKCU DisplayVersion)" = 0.9.0 ] ||
    { echo "the earlier build was not installed in C:\Custom\Tabulon" >&2; exit 1; }
echo "installed 0.9.0 in $folder"

echo "== this build over it, for the current user"
run 300 "$setup" /S /CurrentUser
[ "$(unix_path "$(registered HKCU InstallLocation)")" = "$folder" ] ||
    { echo "the upgrade went elsewhere than $folder" >&2; exit 1; }
[ "$(contents "$folder" | grep -v ' ./uninstall.exe$')" = "$(contents "$stage")" ] ||
    { echo "the upgraded folder is not this build:" >&2; contents "$folder" >&2; exit 1; }
menu="$(unix_path "$(timeout 60 wine cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs"
[ -f "$menu/Tabulon 2x2.lnk" ] || { echo "no Start-menu entry for the user" >&2; exit 1; }
size=$(($(registered HKCU EstimatedSize))) # kB, as reg writes it in hex
[ "$size" -gt 0 ] && [ "$(registered HKCU DisplayVersion)" = "$version" ] ||
    { echo "Apps & features has no size or the old version" >&2; exit 1; }
[ ! -e "$WINEPREFIX/drive_c/Program Files/Tabulon 2x2" ] && [ -z "$(registered HKLM InstallLocation)" ] ||
    { echo "an installation for the current user wrote for all users" >&2; exit 1; }
probe_installed "$folder"
echo "upgraded in place to $version: earlier-only.txt gone, Start-menu entry and Apps & features ($size kB) for the user, the installed program ran"

echo "== while the program runs: upgrade and uninstall refuse, touching nothing"
start_program "$folder"
before=$(contents "$folder")
expect_status 2 "$setup" /S /CurrentUser
echo "silent upgrade: exit code 2"
timeout 300 wine "$setup" /CurrentUser >/dev/null 2>&1 &
interactive=$!
prompt=$(timeout 60 xdotool search --sync --name "^Tabulon 2x2 $version Setup\$" | head -n 1) || true
[ -n "$prompt" ] || { echo "the installer did not ask to close the program" >&2; exit 1; }
[ "$(contents "$folder")" = "$before" ] || { echo "the installer changed files while it asked" >&2; exit 1; }
# _?= runs the uninstaller in place and gives its exit code; it takes the folder unquoted, so
# one without spaces.
expect_status 2 "$folder/uninstall.exe" /S "_?=$(registered HKCU InstallLocation)"
[ "$(contents "$folder")" = "$before" ] && [ -n "$(registered HKCU InstallLocation)" ] ||
    { echo "the uninstaller removed something while the program ran" >&2; exit 1; }
echo "silent uninstall: exit code 2"
# Closed, and Retry (the prompt's default button): the installer goes on to its pages.
close_program
timeout 30 xdotool windowfocus --sync "$prompt" 2>/dev/null || true
timeout 30 xdotool key Return
# Its first page, in a window larger than the prompt's, under the same title.
timeout 60 sh -c 'until xdotool search --name "$1" getwindowgeometry %@ | grep -q "Geometry: [4-9][0-9][0-9]x"; do sleep 0.5; done' \
    - "^Tabulon 2x2 $version Setup" || { echo "the installer did not go on after Retry" >&2; exit 1; }
kill "$interactive"
wait "$interactive" 2>/dev/null || true
echo "interactive upgrade: asked to close the program, touched nothing, went on once it was closed"

echo "== uninstalled for the current user"
expect_status 0 "$folder/uninstall.exe" /S "_?=$(registered HKCU InstallLocation)"
# Run in place, it leaves itself, and so its folder, to its caller.
rm "$folder/uninstall.exe"
rmdir "$folder" 2>/dev/null || true
if [ -e "$folder" ] || [ -e "$menu/Tabulon 2x2.lnk" ] || [ -n "$(registered HKCU InstallLocation)" ]; then
    echo "the uninstaller left something behind:" >&2
    find "$folder" "$menu" 2>/dev/null >&2 || true
    exit 1
fi
echo "no files, Start-menu entry or registry key left"

echo "== for all users"
run 300 "$setup" /S /AllUsers
folder="$WINEPREFIX/drive_c/Program Files/Tabulon 2x2"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ "$(registered HKLM InstallLocation)" = 'C:\Program Files\Tabulon 2x2' ] && [ -f "$menu/Tabulon 2x2.lnk" ] ||
    { echo "not installed into Program Files with a Start-menu entry for all" >&2; exit 1; }
probe_installed "$folder"
if [ -n "${TABULON_SIGN_CA:-}" ]; then
    echo "== signatures"
    for file in "$stage/tabulon2x2.exe" "$setup" "$folder/uninstall.exe"; do
        osslsigncode verify -CAfile "$TABULON_SIGN_CA" -in "$file" >"$scratch/verify.txt" 2>&1 ||
            { cat "$scratch/verify.txt" >&2; exit 1; }
        echo "$(basename "$file"): $(grep -m 1 'Signature verification' "$scratch/verify.txt")"
    done
fi
# Run from its own copy in a temporary folder, as Apps & features runs it: wait for Wine.
run 120 "$folder/uninstall.exe" /S /AllUsers
timeout 120 wineserver -w
if [ -e "$folder" ] || [ -e "$menu/Tabulon 2x2.lnk" ] || [ -n "$(registered HKLM InstallLocation)" ]; then
    echo "the uninstaller left something behind for all users" >&2
    exit 1
fi
echo "installed into Program Files, ran, uninstalled without a trace"
