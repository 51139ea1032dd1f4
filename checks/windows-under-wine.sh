#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Tests release/windows-bundle.sh's files under Wine (checks/wine.sh): the tests, the program
# with the start-up probe, and the installer: for the user and for all users, upgrades, and
# uninstalls interactive and silent, by every registered or documented command, while the
# program runs (exit code 2, nothing touched) and once closed; with TABULON_SIGN_CA, the
# signatures.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."

. checks/wine.sh
repo=$PWD
stage=$repo/build-windows/$name
zip=build-windows/$name-windows-x64.zip
setup=$repo/build-windows/$name-setup.exe

echo "== the zip"
# Read whole first: grep -q ending the pipe early would fail the listing (pipefail).
listing=$(python3 -m zipfile -l "$zip")
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    grep -q "^$name/$file " <<<"$listing" || fail "the zip has no $file"
done
echo "it holds LICENSE.txt and THIRD-PARTY-NOTICES.txt"

cd "$programs"
for test in test_engine test_window; do
    echo "== $test"
    status=0
    run 300 "./$test.exe" -o "$test.txt,txt" || status=1
    grep -E '^(FAIL|XPASS|Totals)|^ +Loc' "$test.txt" || true
    [ "$status" = 0 ] || exit 1
done
bundled=$(grep -o -m 1 'Qt 6\.[0-9.]*' test_window.txt)
echo "Qt in the bundle: $bundled"
[[ $bundled == "Qt 6.8."* ]] || fail "the bundle's Qt is not 6.8"

echo "== the program with the start-up probe"
WINEQT_PLUGIN_PATH="$programs_windows\probe" run 120 ./tabulon2x2.exe -plugin startupprobe
echo "typed 30 20 20 30, read the Russian result and closed the window"

# A registry value of the installation for the current user (HKCU) or all users (HKLM).
key=Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tabulon2x2
registered() {
    timeout 60 wine reg query "$1\\$key" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}
unix_path() { timeout 60 winepath -u "$1" 2>/dev/null; }
contents() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }
window() { /usr/bin/python3 "$repo/checks/desktop_session.py" window "$@"; }
start_program() {
    (cd "$1" && exec timeout 600 wine ./tabulon2x2.exe) >/dev/null 2>&1 &
    program=$!
    window '^Tabulon 2x2$' >/dev/null || fail "the installed program showed no window"
}
close_program() {
    timeout 60 wine taskkill /im tabulon2x2.exe >/dev/null 2>&1
    timeout 60 tail --pid="$program" -f /dev/null || fail "the program did not end when asked to"
}
probe_installed() {
    (cd "$1" && WINEPATH="$programs_windows" WINEQT_PLUGIN_PATH="$programs_windows\probe" \
        run 120 ./tabulon2x2.exe -plugin startupprobe)
}
# Fails unless the folder, the Start-menu entry and the registry key are gone. Under Wine a
# copy of the uninstaller deletes it and the folder once it has ended: waited for, briefly.
gone() {
    timeout 30 sh -c 'while [ -e "$1" ]; do sleep 0.2; done' - "$1" || true
    [ ! -e "$1" ] && [ ! -e "$2/Tabulon 2x2.lnk" ] && [ -z "$(registered "$3" InstallLocation)" ] ||
        fail "the uninstaller left something behind: $(find "$1" "$2" 2>/dev/null)"
}
# Runs a command line as written through cmd /c, as a deployment tool does; sets $status.
run_cmd() {
    printf '@%s\r\n' "$1" >"$scratch/$2.cmd"
    status=0
    timeout 300 wine cmd /c "$(timeout 60 winepath -w "$scratch/$2.cmd")" >/dev/null 2>&1 || status=$?
    return "$status"
}
# Uninstalls by a command line: 2 and nothing touched while the program runs, then 0.
uninstall_by() {
    local line=$1 folder=$2 hive=$3 before
    start_program "$folder"
    before=$(contents "$folder")
    run_cmd "$line" command || true
    [ "$status" = 2 ] && [ "$(contents "$folder")" = "$before" ] &&
        [ -n "$(registered "$hive" InstallLocation)" ] ||
        fail "exit code $status while Tabulon ran, or something touched: $line"
    close_program
    run_cmd "$line" command || fail "exit code $status, not 0: $line"
    gone "$folder" "$menu" "$hive"
    echo "$line"
    echo "    exit code 2 while Tabulon ran, nothing touched; then 0, nothing left"
}
# An (un)installer's prompt to close the program: nothing is touched meanwhile; the program
# closed, Retry (the default) goes on to its first page, a window wider than the prompt.
asks_then_goes_on() {
    local title=$1 folder=$2 before=$3 prompt
    prompt=$(window "$title\$") || fail "no prompt to close the program: $title"
    [ "$(contents "$folder")" = "$before" ] || fail "files changed while it asked"
    close_program
    timeout 30 xdotool windowfocus --sync "$prompt" 2>/dev/null || true
    timeout 30 xdotool key Return
    window "$title" 400 >/dev/null || fail "it did not go on after Retry: $title"
}
signatures() {
    [ -n "${TABULON_SIGN_CA:-}" ] || return 0
    for file in "$stage/tabulon2x2.exe" "$setup" "$1"; do
        osslsigncode verify -CAfile "$TABULON_SIGN_CA" -in "$file" >"$scratch/verify.txt" 2>&1 ||
            { cat "$scratch/verify.txt" >&2; exit 1; }
        echo "$(basename "$file"): $(grep -m 1 'Signature verification' "$scratch/verify.txt")"
    done
}

echo "== the installer asks for no administrator rights"
level=$(grep -a -o 'requestedExecutionLevel level="[A-Za-z]*"' "$setup")
echo "$level"
[ "$level" = 'requestedExecutionLevel level="highestAvailable"' ] ||
    fail "the installer demands elevation"

echo "== an earlier build, for the current user, into a folder of the user's choice"
# This build's installer, with a file that this build does not ship.
earlier=$scratch/earlier
cp -r "$stage" "$earlier"
echo "earlier" >"$earlier/earlier-only.txt"
"$repo/release/windows-installer.sh" 0.9.0 "$earlier" "$scratch/earlier-setup.exe" >/dev/null
run 300 "$scratch/earlier-setup.exe" /S /CurrentUser '/D=C:\Custom\Tabulon'
folder=$(unix_path "$(registered HKCU InstallLocation)")
[ -f "$folder/earlier-only.txt" ] && [ "$(registered HKCU DisplayVersion)" = 0.9.0 ] ||
    fail "the earlier build was not installed in C:\Custom\Tabulon"
echo "installed 0.9.0 in $folder"

echo "== this build over it, for the current user"
run 300 "$setup" /S /CurrentUser
[ "$(unix_path "$(registered HKCU InstallLocation)")" = "$folder" ] ||
    fail "the upgrade went elsewhere than $folder"
[ "$(contents "$folder" | grep -v ' ./uninstall.exe$')" = "$(contents "$stage")" ] ||
    fail "the upgraded folder is not this build: $(contents "$folder")"
menu="$(unix_path "$(timeout 60 wine cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs"
[ -f "$menu/Tabulon 2x2.lnk" ] || fail "no Start-menu entry for the user"
size=$(($(registered HKCU EstimatedSize))) # kB, as reg writes it in hex
[ "$size" -gt 0 ] && [ "$(registered HKCU DisplayVersion)" = "$version" ] ||
    fail "Apps & features has no size or the old version"
[ ! -e "$WINEPREFIX/drive_c/Program Files/Tabulon 2x2" ] && [ -z "$(registered HKLM InstallLocation)" ] ||
    fail "an installation for the current user wrote for all users"
probe_installed "$folder"
echo "upgraded in place to $version: earlier-only.txt gone, Start-menu entry and Apps & features ($size kB) for the user, the installed program ran"

echo "== while the program runs: upgrade refuses, touching nothing"
start_program "$folder"
before=$(contents "$folder")
status=0
timeout 300 wine "$setup" /S /CurrentUser || status=$?
[ "$status" = 2 ] || fail "exit code $status, not 2: a silent upgrade while Tabulon runs"
echo "silent upgrade: exit code 2"
timeout 300 wine "$setup" /CurrentUser >/dev/null 2>&1 &
interactive=$!
asks_then_goes_on "^Tabulon 2x2 $version Setup" "$folder" "$before"
kill "$interactive"
wait "$interactive" 2>/dev/null || true
echo "interactive upgrade: asked to close the program, touched nothing, went on once it was closed"

echo "== interactive uninstall, as Apps & features starts it"
start_program "$folder"
run_cmd "$(registered HKCU UninstallString)" uninstall &
interactive=$!
asks_then_goes_on "^Tabulon 2x2 $version Uninstall" "$folder" "$(contents "$folder")"
# Return on its confirmation page uninstalls; on its last page, closes it.
for _ in $(seq 60); do
    kill -0 "$interactive" 2>/dev/null || break
    timeout 30 xdotool key Return
    sleep 2
done
wait "$interactive" || fail "the interactive uninstall failed ($?)"
gone "$folder" "$menu" HKCU
echo "asked to close the program, touched nothing, uninstalled once it was closed"

echo "== silent uninstall, by the commands Apps & features registers and docs/installing-windows.md gives"
# The commands users copy from docs/installing-windows.md, taken from there as written: moving
# or rewording them there breaks this check on purpose, until it reads them where they stand.
documented_command() { grep -m 1 -F "\\uninstall.exe\" /S /$1 _?=" "$repo/docs/installing-windows.md"; }
for mode in CurrentUser AllUsers; do
    hive=HKCU
    [ "$mode" = CurrentUser ] || { hive=HKLM; menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"; }
    for command in readme quiet uninstall; do
        run 300 "$setup" /S "/$mode"
        folder=$(unix_path "$(registered "$hive" InstallLocation)")
        if [ "$mode$command" = AllUsersreadme ]; then
            [ "$(registered HKLM InstallLocation)" = 'C:\Program Files\Tabulon 2x2' ] &&
                [ -f "$menu/Tabulon 2x2.lnk" ] || fail "not installed for all users with a menu entry"
            probe_installed "$folder"
            echo "installed into Program Files with a Start-menu entry for all users, and ran"
            signatures "$folder/uninstall.exe"
        fi
        case $command in
        readme) line=$(documented_command "$mode") ;;
        quiet) line=$(registered "$hive" QuietUninstallString) ;;
        uninstall) line="$(registered "$hive" UninstallString) /S" ;;
        esac
        uninstall_by "$line" "$folder" "$hive"
    done
done
