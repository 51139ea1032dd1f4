#!/usr/bin/env bash
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

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
((${#missing[@]})) || exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${install_options[@]}" \
    "${missing[@]}" >/dev/null
