#!/usr/bin/env bash
# Writes the upstream release tarball of the version in CMakeLists.txt from its tag,
# v<version>, to build-release/tabulon2x2-<version>.tar.xz, and prints its path and nothing
# else. It is git archive of the tag (debian/ left out by .gitattributes) compressed by xz
# on one thread at a fixed level: the same bytes every time. With TABULON_GPG_KEY set to
# the owner's OpenPGP key, it also writes the detached signature .asc beside it.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --no-recommends --only git xz-utils
version=$(sed -n 's/^project(Tabulon2x2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tag=v$version
git rev-parse -q --verify "refs/tags/$tag^{commit}" >/dev/null ||
    { echo "upstream-tarball.sh: no tag $tag; a release is tagged first (git tag -a $tag)" >&2; exit 1; }
tarball=build-release/tabulon2x2-$version.tar.xz
mkdir -p build-release
git archive --format=tar --prefix="tabulon2x2-$version/" "$tag" | xz -6 -T1 >"$tarball"
if [ -n "${TABULON_GPG_KEY:-}" ]; then
    gpg --batch --yes --local-user "$TABULON_GPG_KEY" --armor --detach-sign "$tarball" >&2
fi
echo "$tarball"
