#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Tests what release/windows-bundle.sh built, under Wine (checks/wine.sh): test_engine and
# test_window; the program with the start-up probe (Qt's option -plugin); the installer for
# the current user and for all users, upgrades (from an earlier build, into the folder
# chosen then, and while the program runs) and uninstalls: interactively, and silently by
# each command that Apps & features registers or the README gives, run through cmd /c as
# written, while the program runs (exit code 2, nothing touched) and once it is closed (0,
# nothing left); with TABULON_SIGN_CA set to the certificate that signed them, the
# signatures of the program, the installer and the uninstaller.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."

. checks/wine.sh
repo=$PWD
stage=$repo/build-windows/$name
zip=build-windows/$name-windows-x64.zip
setup=$repo/build-windows/$name-setup.exe

echo "== the zip"
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    python3 -m zipfile -l "$zip" | grep -q "^$name/$file " || fail "the zip has no $file"
done
echo "it holds LICENSE.txt and THIRD-PARTY-NOTICES.txt"

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
[[ $bundled == "Qt 6.8."* ]] || fail "the bundle's Qt is not 6.8"

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
# Waits for a window whose title matches a pattern (and at least so wide), and prints its id.
window() { /usr/bin/python3 "$repo/checks/desktop_session.py" window "$@"; }
# Starts the installed program in its folder, and waits for its window.
start_program() {
    (cd "$1" && exec timeout 600 wine ./tabulon2x2.exe) >/dev/null 2>&1 &
    program=$!
    window '^Tabulon 2x2$' >/dev/null || fail "the installed program showed no window"
}
# Closes it as a user does, and waits for it to end.
close_program() {
    timeout 60 wine taskkill /im tabulon2x2.exe >/dev/null 2>&1
    timeout 60 tail --pid="$program" -f /dev/null || fail "the program did not end when asked to"
}
# Runs the installed program with the start-up probe (its QtTest lies on Wine's PATH).
probe_installed() {
    (cd "$1" && WINEPATH="$programs_windows" WINEQT_PLUGIN_PATH="$programs_windows\probe" \
        run 120 ./tabulon2x2.exe -plugin startupprobe)
}
# Fails unless the installation is gone: its folder, its Start-menu entry, its registry key.
# Where Wine keeps the uninstaller from moving its own running file away, a copy of it
# deletes that file and the folder the moment it has ended: waited for, briefly.
gone() {
    timeout 30 sh -c 'while [ -e "$1" ]; do sleep 0.2; done' - "$1" || true
    [ ! -e "$1" ] && [ ! -e "$2/Tabulon 2x2.lnk" ] && [ -z "$(registered "$3" InstallLocation)" ] ||
        fail "the uninstaller left something behind: $(find "$1" "$2" 2>/dev/null)"
}
# Runs a command line through cmd /c, as a deployment tool does, from a batch file that holds
# it as written; sets $status to its exit code.
run_cmd() {
    printf '@%s\r\n' "$1" >"$scratch/command.cmd"
    status=0
    timeout 300 wine cmd /c "$(timeout 60 winepath -w "$scratch/command.cmd")" >/dev/null 2>&1 || status=$?
}
# Uninstalls by a command line: while the program runs, it must end with exit code 2 and
# touch nothing; once the program is closed, with 0 and nothing left.
uninstall_by() {
    local line=$1 folder=$2 hive=$3 before
    start_program "$folder"
    before=$(contents "$folder")
    run_cmd "$line"
    [ "$status" = 2 ] && [ "$(contents "$folder")" = "$before" ] &&
        [ -n "$(registered "$hive" InstallLocation)" ] ||
        fail "exit code $status while Tabulon ran, or something touched: $line"
    close_program
    run_cmd "$line"
    [ "$status" = 0 ] || fail "exit code $status, not 0: $line"
    gone "$folder" "$menu" "$hive"
    echo "$line"
    echo "    exit code 2 while Tabulon ran, nothing touched; then 0, nothing left"
}
# Waits for an installer's or uninstaller's prompt to close the running program, checks that
# nothing was touched meanwhile, closes the program and answers Retry (the prompt's default):
# it must go on to its first page, a window larger than the prompt, under the same title.
asks_then_goes_on() {
    local title=$1 folder=$2 before=$3 prompt
    prompt=$(window "$title\$") || fail "no prompt to close the program: $title"
    [ "$(contents "$folder")" = "$before" ] || fail "files changed while it asked"
    close_program
    timeout 30 xdotool windowfocus --sync "$prompt" 2>/dev/null || true
    timeout 30 xdotool key Return
    window "$title" 400 >/dev/null || fail "it did not go on after Retry: $title"
}
# With TABULON_SIGN_CA set, verifies the signatures of the program, the installer and an
# installed uninstaller against it.
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
# The same installer, made from this build with a file that this one does not ship.
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
printf '@%s\r\n' "$(registered HKCU UninstallString)" >"$scratch/uninstall.cmd"
timeout 300 wine cmd /c "$(timeout 60 winepath -w "$scratch/uninstall.cmd")" >/dev/null 2>&1 &
interactive=$!
asks_then_goes_on "^Tabulon 2x2 $version Uninstall" "$folder" "$(contents "$folder")"
# Return on its confirmation page uninstalls, and on its last page, once done, closes it.
for _ in $(seq 60); do
    kill -0 "$interactive" 2>/dev/null || break
    timeout 30 xdotool key Return
    sleep 2
done
wait "$interactive" || fail "the interactive uninstall failed ($?)"
gone "$folder" "$menu" HKCU
echo "asked to close the program, touched nothing, uninstalled once it was closed"

echo "== silent uninstall, by the commands Apps & features registers and the README gives"
# The README's commands, as written there, for the current user and for all users.
readme_command() { grep -m 1 -F "\\uninstall.exe\" /S /$1 _?=" "$repo/README.md"; }
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
        readme) line=$(readme_command "$mode") ;;
        quiet) line=$(registered "$hive" QuietUninstallString) ;;
        uninstall) line="$(registered "$hive" UninstallString) /S" ;;
        esac
        uninstall_by "$line" "$folder" "$hive"
    done
done
