# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the scripts that run the Windows build under Wine, with $script their path:
# re-runs it, bounded, in a desktop session of its own; makes a Wine prefix with the fonts Qt
# needs and $programs, the runnable folder beside the tests and the start-up probe.
if [ -z "${TABULON_DESKTOP:-}" ]; then
    dev/deps.sh --only wine wine64 fonts-wine nsis osslsigncode desktop
    # shellcheck disable=SC2154 # set by the script that sources this
    exec timeout 1200 /usr/bin/python3 checks/desktop_session.py "$script" "$@"
fi
version=$(dev/version.sh)
name=tabulon2x2-$version
qt=$(sed -n 's#^Qt6_DIR:PATH=\(.*\)/lib/cmake/Qt6$#\1#p' build-windows/CMakeCache.txt)
scratch=$(mktemp -d)
# Wine's own errors are shown: a run that passes has none, one that fails says why.
export WINEPREFIX=$scratch/wine WINEDEBUG=-all,err+all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'timeout 30 wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "$*" >&2; exit 1; }
run() { timeout "$1" wine "${@:2}" || { echo "failed ($?): ${*:2}" >&2; return 1; }; }

timeout 300 wine wineboot --init >/dev/null 2>&1
timeout 120 wineserver -w
# Debian's Wine does not find its own fonts.
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
programs=$scratch/programs
cp -r "build-windows/$name" "$programs"
cp build-windows/tests/test_{engine,window}.exe "$qt/bin/Qt6Test.dll" "$programs/"
mkdir -p "$programs/probe/generic"
cp build-windows/tests/plugins/generic/startup_probe.dll "$programs/probe/generic/"
# shellcheck disable=SC2034 # for the scripts that source this
programs_windows='Z:'"${programs//\//\\}"
