#!/usr/bin/env bash
# Run inside a clean root (in-root.sh): Debian's reprotest builds the source package twice,
# the second time with another build path, umask, time zone, locale, time (shifted with
# faketime), environment, CPU count and home, and fails unless the binary packages are
# byte-identical. The tests are left out (nocheck): they shape nothing in the packages.
# usage: reprotest.sh DSC
set -euo pipefail
dsc=$(realpath "$1")

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get build-dep -y -qq --no-install-recommends "$dsc" >/dev/null
apt-get install -y -qq --no-install-recommends reprotest faketime locales-all diffoscope-minimal >/dev/null
# Users, groups, host names, kernels and file order need privileges or FUSE in a root.
DEB_BUILD_OPTIONS=nocheck reprotest --min-cpus=1 \
    --variations=+all,-user_group,-domain_host,-kernel,-fileordering \
    "$dsc" -- null
