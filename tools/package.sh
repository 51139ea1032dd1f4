#!/usr/bin/env bash
# Builds the Debian source package of this clone (its current commit, with any changes to
# tracked files) into build-package/, then in a clean root of each release its binary
# packages into build-package/RELEASE/, without network and as an unprivileged user.
# usage: tools/package.sh [RELEASE...]     (default: bookworm trixie)
set -euo pipefail
cd "$(dirname "$0")/.."
releases=("$@")
((${#releases[@]})) || releases=(bookworm trixie)

tools/deps.sh --no-recommends dpkg-dev git xz-utils
name=$(dpkg-parsechangelog -S Source)
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
out=build-package
rm -rf "$out"
mkdir -p "$out/$name-$upstream"

# The upstream tarball holds everything but debian/, which dpkg-source packs on its own.
tree=$(git stash create)
tree=${tree:-HEAD}
git archive --format=tar --prefix="$name-$upstream/" "$tree" -- . ':!debian' |
    xz -9 -T1 >"$out/${name}_$upstream.orig.tar.xz"
git archive --format=tar "$tree" | tar -x -C "$out/$name-$upstream"
(cd "$out" && dpkg-source -b "$name-$upstream" >/dev/null)
rm -rf "${out:?}/$name-$upstream"
dsc=$out/${name}_$version.dsc
echo "source package: $dsc"

for release in "${releases[@]}"; do
    echo "== binary packages for $release"
    tools/debian/in-root.sh "$release" tools/debian/build.sh "$dsc" "$out/$release"
    ls "$out/$release"/*.deb
done
