#!/usr/bin/env bash
# Checks the installed layout and the Debian package: the files cmake --install
# writes, the launcher (desktop-file-validate), the package's contents and computed
# dependencies, lintian and hardening-check on it, and that the installed program,
# started as its launcher starts it, finds its help page. Every wait is bounded.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh desktop-file-utils xvfb xauth xdotool strace lintian devscripts man-db
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target tabulon2x2 tabulon_icons tabulon_docs

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

echo "== install into a temporary prefix"
cmake --install build --prefix "$prefix" >/dev/null
actual=$(cd "$prefix" && find . -type f | sort)
expected="./bin/tabulon2x2
./share/applications/tabulon2x2.desktop
./share/doc/tabulon2x2/changelog.gz
./share/icons/hicolor/128x128/apps/tabulon2x2.png
./share/icons/hicolor/48x48/apps/tabulon2x2.png
./share/icons/hicolor/64x64/apps/tabulon2x2.png
./share/icons/hicolor/scalable/apps/tabulon2x2.svg
./share/lintian/overrides/tabulon2x2
./share/man/man1/tabulon2x2.1.gz
./share/tabulon2x2/readme.html"
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
echo "$actual"

# The manual page formats without a warning.
warnings=$(man --warnings -l "$prefix/share/man/man1/tabulon2x2.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man --warnings: $warnings" >&2; exit 1; }
echo "man --warnings: silent"

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
(cd "$path" && exec dbus-run-session -- strace -e trace=openat -o "$trace" "$exec_line") >/dev/null 2>&1 &
session=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tabulon 2x2$' | head -n 1) || true
[ -n "$window" ] || { echo "the program showed no window within 30 s" >&2; exit 1; }
program_pid=$(xdotool getwindowpid "$window")
xdotool windowfocus --sync "$window" key Tab Tab Tab Tab space
help=$(timeout 30 xdotool search --sync --onlyvisible --name '^Справка Tabulon 2x2$' | head -n 1) || true
kill "$program_pid"
timeout 30 tail --pid="$session" -f /dev/null ||
    { echo "the program and its session bus did not end within 30 s" >&2; exit 1; }
[ -n "$help" ] || { echo "the help dialog did not open" >&2; exit 1; }
if ! grep -E 'openat\(.*"('"$path"'/)?readme\.html", O_RDONLY[^)]*\) = [0-9]+' "$trace"; then
    echo "the program did not open $path/readme.html:" >&2
    grep readme "$trace" >&2 || true
    exit 1
fi

echo "== Debian package"
tools/package.sh >/dev/null
deb=$(ls -t build-package/tabulon2x2_*.deb | head -n 1)
# Outputs are read whole before grep -q looks at them: grep stopping at the first match
# would otherwise break the pipe, which pipefail reports as a failure.
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
    grep -q "$library" <<<"$depends" || { echo "missing dependency on $library" >&2; exit 1; }
done
for file in ./usr/bin/tabulon2x2 ./usr/share/tabulon2x2/readme.html \
    ./usr/share/applications/tabulon2x2.desktop ./usr/share/icons/hicolor/scalable/apps/tabulon2x2.svg; do
    grep -q " $file\$" <<<"$contents" || { echo "$file is not in the package" >&2; exit 1; }
done
launcher=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/applications/tabulon2x2.desktop)
grep -qx 'Path=/usr/share/tabulon2x2' <<<"$launcher"
echo "package: $deb"

echo "== lintian"
# Only the errors that need facts from the owner may remain: a real maintainer address
# (in the control file and the changelog) and the copyright and licence.
# Its temporary files go to the check's own folder: lintian leaves some behind.
TMPDIR=$prefix lintian --info --pedantic "$deb" >"$prefix/lintian" 2>&1 || true
grep -vE "^N:" "$prefix/lintian" || true
if grep -E '^[EWIPX]: ' "$prefix/lintian" |
    grep -vE ': (bogus-mail-host|bogus-mail-host-in-debian-changelog|no-copyright-file)( |$)'; then
    echo "lintian reports the tags above" >&2
    exit 1
fi

echo "== hardening-check"
# Fortify is left out: with -D_FORTIFY_SOURCE=2 on every compile line, it still reports
# "only unprotected functions", a known false alarm for memmove, which GCC inlines here.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/bin/tabulon2x2 >"$prefix/packaged"
chmod +x "$prefix/packaged"
hardening-check --nofortify --nocfprotection "$prefix/packaged"

echo "== install the package with apt-get, then remove it"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# An installation someone already has is left as it is: apt-get then only shows that it
# could install the package, and nothing is installed or removed.
if [ "$(dpkg-query -W -f='${Status}' tabulon2x2 2>/dev/null)" = "install ok installed" ]; then
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install --simulate -qq "./$deb" >/dev/null
    echo "tabulon2x2 is installed on this machine: left untouched, installation only simulated"
    exit 0
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
grep -qx /usr/share/tabulon2x2/readme.html <<<"$(dpkg -L tabulon2x2)"
[ -x /usr/bin/tabulon2x2 ]
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq tabulon2x2 >/dev/null
for file in /usr/bin/tabulon2x2 /usr/share/tabulon2x2 /usr/share/applications/tabulon2x2.desktop \
    /usr/share/icons/hicolor/scalable/apps/tabulon2x2.svg; do
    [ ! -e "$file" ] || { echo "$file is left after removal" >&2; exit 1; }
done
echo "installed and removed cleanly"
