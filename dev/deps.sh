#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, with sudo when not root, whichever are missing of the build dependencies
# (debian/control) and of the packages named; "desktop" names the virtual desktop's, the
# autopkgtest's (debian/tests/control). Prints nothing on standard output.
# usage: dev/deps.sh [--no-recommends] [--only (no build dependencies)] [desktop] [PACKAGE...]
set -euo pipefail
exec >&2
cd "$(dirname "$0")/.."

options=()
[ "${1:-}" != --no-recommends ] || { options=(--no-install-recommends); shift; }
build=yes
[ "${1:-}" != --only ] || { build=; shift; }
packages=()
for name; do
    if [ "$name" = desktop ]; then
        mapfile -t -O "${#packages[@]}" packages < <(awk '/^Depends:/ {on = 1; next}
            /^[^ ]/ {on = 0} on {gsub(/[ ,]/, ""); if ($0 != "tabulon2x2") print}' debian/tests/control)
    else
        packages+=("$name")
    fi
done

missing() {
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            echo "$package"
    done
}
build_missing() { [ -n "$build" ] && ! dpkg-checkbuilddeps >/dev/null 2>&1; }
build_missing || [ -n "$(missing)" ] || exit 0

# One install at a time: apt-get fails at once on a lock held by a script beside this one.
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
mkdir -p "$cache"
exec 9>"$cache/deps.lock"
flock -w 1800 9 || { echo "deps.sh: another install holds $cache/deps.lock" >&2; exit 1; }
mapfile -t packages < <(missing)
build_missing || ((${#packages[@]})) || exit 0

echo "Installing:${build:+ the build dependencies} ${packages[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# Another program's install (a new machine's unattended upgrade) is waited for.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq
    "${options[@]}")
"${apt[@]}" update
! build_missing || "${apt[@]}" build-dep ./ >/dev/null
((${#packages[@]} == 0)) || "${apt[@]}" install "${packages[@]}" >/dev/null
