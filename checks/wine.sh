# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced, from the repository root, by the scripts that run the Windows build under Wine,
# which set $script to their own path: re-runs it in a virtual desktop session of its own
# (Wine would otherwise start a session bus that outlives it), bounded in time; then makes
# a temporary Wine prefix with the fonts Qt needs, and $programs, where the runnable folder
# runs beside the tests, QtTest and the start-up probe. At exit Wine is ended and both go.
if [ -z "${TABULON_DESKTOP:-}" ]; then
    dev/deps.sh --only wine wine64 fonts-wine nsis osslsigncode desktop
    exec timeout 1200 /usr/bin/python3 checks/desktop_session.py "$script" "$@"
fi
version=$(dev/version.sh)
name=tabulon2x2-$version
qt=$(sed -n 's#^Qt6_DIR:PATH=\(.*\)/lib/cmake/Qt6$#\1#p' build-windows/CMakeCache.txt)
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'timeout 30 wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "$*" >&2; exit 1; }
# Runs a Windows program, bounded in time; fails naming it.
run() { timeout "$1" wine "${@:2}" || { echo "failed ($?): ${*:2}" >&2; return 1; }; }

timeout 300 wine wineboot --init >/dev/null 2>&1
timeout 120 wineserver -w
# Debian's Wine does not find its own fonts; without them Qt falls back to a serif font.
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
programs=$scratch/programs
cp -r "build-windows/$name" "$programs"
cp build-windows/tests/test_{engine,window}.exe "$qt/bin/Qt6Test.dll" "$programs/"
mkdir -p "$programs/probe/generic"
cp build-windows/tests/plugins/generic/startup_probe.dll "$programs/probe/generic/"
# The same folder as a Windows path, for Wine's PATH and Qt's plugin path.
programs_windows='Z:'"${programs//\//\\}"
