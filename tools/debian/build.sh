#!/usr/bin/env bash
# Run inside a clean root (in-root.sh): installs the build dependencies of a source
# package, then builds its binary packages as an unprivileged user without network, as
# Debian's build daemons do, and copies them with their .buildinfo and .changes to OUT.
# Extra environment, such as DEB_BUILD_OPTIONS, passes to the build.
# usage: build.sh DSC OUT
set -euo pipefail
dsc=$(realpath "$1")
out=$2

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get build-dep -y -qq --no-install-recommends "$dsc" >/dev/null
useradd --create-home builder
work=$(runuser -u builder -- mktemp -d)
runuser -u builder -- dpkg-source --no-check -x "$dsc" "$work/source" >/dev/null
(cd "$work/source" && unshare --net -- runuser -u builder -- \
    env DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -b --no-sign)
mkdir -p "$out"
cp "$work"/*.deb "$work"/*.buildinfo "$work"/*.changes "$out/"
