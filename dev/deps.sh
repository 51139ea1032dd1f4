#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs whichever are missing of the program's build dependencies (Build-Depends in
# debian/control, with apt-get build-dep) and of the packages named: "desktop" names those
# of a virtual desktop session, the autopkgtest's own (debian/tests/control). Uses sudo
# when not run as root. Prints nothing on standard output, so that scripts whose output is
# a value may call it.
# usage: dev/deps.sh [--no-recommends] [--only] [desktop] [PACKAGE...]
#   --no-recommends   leaves out the packages' recommendations
#   --only            installs the packages named, not the build dependencies
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

# One install at a time: scripts that run side by side (the Qt build beside the checks)
# would otherwise meet on apt's locks, and apt-get fails at once on a lock held. Once this
# one has the lock, what the other installed is no longer missing.
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
mkdir -p "$cache"
exec 9>"$cache/deps.lock"
flock -w 1800 9 || { echo "deps.sh: another install holds $cache/deps.lock" >&2; exit 1; }
mapfile -t packages < <(missing)
build_missing || ((${#packages[@]})) || exit 0

echo "Installing:${build:+ the build dependencies} ${packages[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# Another program's install, such as a new machine's first unattended upgrade, is waited for.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq
    "${options[@]}")
"${apt[@]}" update
! build_missing || "${apt[@]}" build-dep ./ >/dev/null
((${#packages[@]} == 0)) || "${apt[@]}" install "${packages[@]}" >/dev/null
