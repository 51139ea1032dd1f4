#!/usr/bin/env bash
# Run inside a clean root (in-root.sh): installs the binary packages with apt and purges
# them again, as piuparts does, failing if the purge leaves any file behind or takes
# anything away (their dependencies, installed first, are not theirs to remove); then runs
# the source package's autopkgtest against them.
# usage: check.sh DSC DEB...
set -euo pipefail
dsc=$(realpath "$1")
shift
debs=()
for deb in "$@"; do debs+=("$(realpath "$deb")"); done

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# Every file of the root but apt's and dpkg's own records, logs and caches.
files() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
        -o -path /var/cache -o -path /var/log -o -path /var/lib/apt -o -path /var/lib/dpkg \
        -o -path "$PWD" -o -path /root \) -prune -o -print | sort
}
for deb in "${debs[@]}"; do
    if [[ $(dpkg-deb -f "$deb" Package) != *-dbgsym ]]; then
        apt-get satisfy -y -qq "$(dpkg-deb -f "$deb" Depends)" >/dev/null
    fi
done
files >/tmp/before
echo "== install ${debs[*]##*/}"
apt-get install -y -qq "${debs[@]}" >/dev/null
dpkg-query -W -f='${Package} ${Version} ${Status}\n' tabulon2x2
echo "== purge"
mapfile -t packages < <(for deb in "${debs[@]}"; do dpkg-deb -f "$deb" Package; done)
apt-get purge -y -qq "${packages[@]}" >/dev/null
files >/tmp/after
if ! diff /tmp/before /tmp/after; then
    echo "install and purge changed the files above" >&2
    exit 1
fi
echo "installed and purged: no file left behind or taken away"

echo "== autopkgtest"
apt-get install -y -qq --no-install-recommends autopkgtest >/dev/null
autopkgtest --quiet "${debs[@]}" "$dsc" -- null
