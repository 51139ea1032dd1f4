#!/usr/bin/env bash
# Installs whichever of the Debian packages needed to build and test the program are
# missing, plus any named on the command line. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake make g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
          libgl-dev fonts-dejavu-core librsvg2-bin
          dbus-daemon "$@")

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
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
