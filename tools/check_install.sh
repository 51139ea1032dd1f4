#!/usr/bin/env bash
# Checks the installed layout: the files cmake --install writes (nothing particular to a
# distribution), the manual page, the launcher (desktop-file-validate), and that the
# installed program, started as its launcher starts it, finds its help page. Every wait
# is bounded, and whatever it starts is ended.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh desktop-file-utils xvfb xauth xdotool strace man-db
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2 tabulon_icons

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

echo "== install into a temporary prefix"
cmake --install build --prefix "$prefix" >/dev/null
actual=$(cd "$prefix" && find . -type f | sort)
expected="./bin/tabulon2x2
./share/applications/tabulon2x2.desktop
./share/icons/hicolor/128x128/apps/tabulon2x2.png
./share/icons/hicolor/48x48/apps/tabulon2x2.png
./share/icons/hicolor/64x64/apps/tabulon2x2.png
./share/icons/hicolor/scalable/apps/tabulon2x2.svg
./share/man/man1/tabulon2x2.1
./share/tabulon2x2/readme.html"
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
echo "$actual"

# The manual page formats without a warning, and its NAME line reads whole in whatis.
page=$prefix/share/man/man1/tabulon2x2.1
warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man --warnings: $warnings" >&2; exit 1; }
echo "man --warnings: silent"
whatis=$(lexgrog "$page")
grep -qF '"tabulon2x2 - test the association in a fourfold (2x2) table"' <<<"$whatis" ||
    { echo "lexgrog reads the NAME line as: $whatis" >&2; exit 1; }
echo "whatis: ${whatis#*: }"

entry="$prefix/share/applications/tabulon2x2.desktop"
desktop-file-validate "$entry"
echo "desktop-file-validate: clean"
path=$(sed -n 's/^Path=//p' "$entry")
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$path" = "$prefix/share/tabulon2x2" ] || { echo "Path= is $path" >&2; exit 1; }
[ "$exec_line" = "$prefix/bin/tabulon2x2" ] || { echo "Exec= is $exec_line" >&2; exit 1; }

echo "== start it as the launcher does and open help"
# On a virtual display of its own (Xvfb picks a free number and writes it when ready) and a
# private session bus that ends with the program, so nothing Qt starts outlives the check:
# open help from the keyboard (Tab from the first field past the other three and the
# disabled calculate button reaches the help button), then check that the help dialog came
# up and that the program opened readme.html from the launcher's Path=.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$prefix/display" >/dev/null 2>&1 &
xvfb=$!
# Waited for, so that it is reaped here and not left to whatever adopts orphans.
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$prefix"' EXIT
timeout 30 sh -c 'until [ -s "$1" ]; do sleep 0.1; done' - "$prefix/display" ||
    { echo "Xvfb did not start within 30 s" >&2; exit 1; }
export DISPLAY=":$(cat "$prefix/display")"

trace=$prefix/trace
# In a session and process group of its own (setsid, without forking, keeps the PID), so
# that ending the group ends the program, strace and the session bus together.
(cd "$path" && exec setsid dbus-run-session -- strace -e trace=openat -o "$trace" "$exec_line") \
    >/dev/null 2>&1 &
session=$!
trap 'kill -- -"$session" "$xvfb" 2>/dev/null; wait "$session" "$xvfb" 2>/dev/null; rm -rf "$prefix"' EXIT
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tabulon 2x2$' | head -n 1) || true
[ -n "$window" ] || { echo "the program showed no window within 30 s" >&2; exit 1; }
program_pid=$(timeout 10 xdotool getwindowpid "$window")
timeout 30 xdotool windowfocus --sync "$window" key Tab Tab Tab Tab space
help=$(timeout 30 xdotool search --sync --onlyvisible --name '^Справка Tabulon 2x2$' | head -n 1) || true
kill "$program_pid"
timeout 30 tail --pid="$session" -f /dev/null ||
    { echo "the program and its session bus did not end within 30 s" >&2; exit 1; }
[ -n "$help" ] || { echo "the help dialog did not open" >&2; exit 1; }
# Opened, by the launcher's full path or relative to it, with success (a descriptor).
if ! grep -F -e "\"$path/readme.html\", O_RDONLY" -e '"readme.html", O_RDONLY' "$trace" |
    grep -E '\) = [0-9]+$'; then
    echo "the program did not open $path/readme.html:" >&2
    grep readme "$trace" >&2 || true
    exit 1
fi
