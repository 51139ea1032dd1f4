#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the program's source at this commit, with any changes to tracked files (debian/ left
# out by .gitattributes), to build-release/tabulon2x2-VERSION.tar.xz, the same bytes every
# time, and prints its path: the upstream tarball, also in the Windows and web source archives.
# Only on the tag vVERSION, in a clean tree, is it a release, signed (.asc) with the OpenPGP
# key $TABULON_GPG_KEY names.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --no-recommends --only git xz-utils
version=$(dev/version.sh)
tag=v$version
if [ "$(git rev-parse -q --verify "refs/tags/$tag^{commit}")" != "$(git rev-parse HEAD)" ] ||
    ! git diff --quiet HEAD; then
    echo "upstream-tarball.sh: the tree is not the tag $tag: a tarball to check, not to release" >&2
    [ -z "${TABULON_GPG_KEY:-}" ] || exit 1
fi
tarball=build-release/tabulon2x2-$version.tar.xz
mkdir -p build-release
# Files rewritten unchanged (a check's screenshots) would make git stash create fail.
git update-index -q --refresh >/dev/null || true
tree=$(git -c user.name=release -c user.email=release@localhost stash create)
git archive --format=tar --prefix="tabulon2x2-$version/" "${tree:-HEAD}" | xz -6 -T1 >"$tarball"
if [ -n "${TABULON_GPG_KEY:-}" ]; then
    gpg --batch --yes --local-user "$TABULON_GPG_KEY" --armor --detach-sign "$tarball" >&2
fi
echo "$tarball"
