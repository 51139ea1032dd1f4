#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the upstream tarball of the checked-out commit, HEAD, at the version in
# CMakeLists.txt to build-release/tabulon2x2-<version>.tar.xz, and prints its path and
# nothing else. A release is made on its tag, v<version>; anywhere else (a check of work
# in progress, a clone without tags) it says on standard error that the tarball is not one.
# It is git archive (debian/ left out by .gitattributes) compressed by xz on one thread at
# a fixed level: the same bytes every time. With TABULON_GPG_KEY set to the owner's
# OpenPGP key, it also writes the detached signature .asc beside it, on the tag only.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --no-recommends --only git xz-utils
version=$(sed -n 's/^project(Tabulon2x2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tag=v$version
if [ "$(git rev-parse -q --verify "refs/tags/$tag^{commit}")" != "$(git rev-parse HEAD)" ]; then
    echo "upstream-tarball.sh: HEAD is not tagged $tag: a tarball to check, not to release" >&2
    [ -z "${TABULON_GPG_KEY:-}" ] || exit 1
fi
tarball=build-release/tabulon2x2-$version.tar.xz
mkdir -p build-release
git archive --format=tar --prefix="tabulon2x2-$version/" HEAD | xz -6 -T1 >"$tarball"
if [ -n "${TABULON_GPG_KEY:-}" ]; then
    gpg --batch --yes --local-user "$TABULON_GPG_KEY" --armor --detach-sign "$tarball" >&2
fi
echo "$tarball"
