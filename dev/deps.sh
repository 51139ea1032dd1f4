#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs whichever of the Debian packages needed to build and test the program are
# missing, plus any named on the command line. Uses sudo when not run as root. Prints
# nothing on standard output, so that scripts whose output is a value may call it.
# usage: dev/deps.sh [--no-recommends] [--only] [PACKAGE...]
#   --no-recommends   leaves out the packages' recommendations
#   --only            installs the packages named, not those the program needs
set -euo pipefail
exec >&2

install_options=()
if [ "${1:-}" = --no-recommends ]; then
    install_options=(--no-install-recommends)
    shift
fi
packages=(cmake make g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
          libgl-dev fonts-dejavu-core librsvg2-bin dbus-daemon)
if [ "${1:-}" = --only ]; then
    packages=()
    shift
fi
packages+=("$@")

missing() {
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            echo "$package"
    done
}
[ -n "$(missing)" ] || exit 0

# One install at a time: scripts that run side by side (the Qt build beside the checks)
# would otherwise meet on apt's locks, and apt-get fails at once on a lock held. Once this
# one has the lock, what the other installed is no longer missing.
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
mkdir -p "$cache"
exec 9>"$cache/deps.lock"
flock -w 1800 9 || { echo "deps.sh: another install holds $cache/deps.lock" >&2; exit 1; }
list=$(missing)
[ -n "$list" ] || exit 0
mapfile -t missing <<<"$list"

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# Another program's install, such as a new machine's first unattended upgrade, is waited for.
apt=(apt-get -o DPkg::Lock::Timeout=600)
"${sudo[@]}" "${apt[@]}" update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq \
    "${install_options[@]}" "${missing[@]}" >/dev/null
