#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the upstream tarball of the checked-out source (program-source.sh: debian/ left
# out by .gitattributes) at the version in CMakeLists.txt to
# build-release/tabulon2x2-<version>.tar.xz, and prints its path and nothing else. A
# release is made on its tag, v<version>, from a clean tree; anywhere else (a check of work
# in progress, a clone without tags) it says on standard error that the tarball is not one.
# With TABULON_GPG_KEY set to the owner's OpenPGP key, it also writes the detached
# signature .asc beside it, for a release only.
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
release/program-source.sh "tabulon2x2-$version" "$tarball"
if [ -n "${TABULON_GPG_KEY:-}" ]; then
    gpg --batch --yes --local-user "$TABULON_GPG_KEY" --armor --detach-sign "$tarball" >&2
fi
echo "$tarball"
