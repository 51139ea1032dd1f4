#!/usr/bin/env bash
# Builds the source package and the Debian 12 and 13 binary packages in clean roots
# (tools/package.sh), then checks them with Debian's own tools, each in a fresh clean
# root: install and purge with apt and autopkgtest on each release, lintian (Debian 13's)
# on all of them, and reprotest on the Debian 12 build.
set -euo pipefail
cd "$(dirname "$0")/.."

releases=(bookworm trixie)
tools/package.sh "${releases[@]}"
dsc=$(ls build-package/*.dsc)
for release in "${releases[@]}"; do
    echo "== $release: install, purge, autopkgtest"
    tools/debian/in-root.sh "$release" tools/debian/check.sh "$dsc" build-package/"$release"/*.deb
done
# Once for each release: lintian takes packages of the same name and version as one.
for release in "${releases[@]}"; do
    echo "== lintian: source, and $release's packages"
    tools/debian/in-root.sh trixie tools/debian/lintian.sh "$dsc" \
        build-package/"$release"/*.deb build-package/"$release"/*.changes
done
echo "== reprotest"
tools/debian/in-root.sh bookworm tools/debian/reprotest.sh "$dsc"
