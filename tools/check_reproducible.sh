#!/usr/bin/env bash
# Builds the Debian package twice, from two clones of the current commit at different
# paths, and checks that the two .deb files are byte-identical.
set -euo pipefail
cd "$(dirname "$0")/.."

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sums=()
for clone in first/tabulon2x2 second/a/longer/path/tabulon2x2; do
    git clone -q --no-hardlinks . "$scratch/$clone"
    (cd "$scratch/$clone" && tools/package.sh >/dev/null)
    sums+=("$(cd "$scratch/$clone/build-package" && sha256sum ./*.deb)")
    echo "${sums[-1]}  (built in .../$clone)"
done
[ "${sums[0]}" = "${sums[1]}" ] || { echo "the two packages differ" >&2; exit 1; }
echo "the two packages are byte-identical"
