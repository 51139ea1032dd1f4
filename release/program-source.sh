#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the program's own source as the build that calls it sees it, at this commit with
# any changes to tracked files, as FILE.tar.xz with its files under NAME/: the upstream
# tarball, and the program's part of the source archives published beside the Windows
# bundle and the web page. git archive, compressed by xz on one thread at a fixed level:
# the same bytes every time.
# usage: release/program-source.sh NAME FILE.tar.xz
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: release/program-source.sh NAME FILE.tar.xz}
out=${2:?usage: release/program-source.sh NAME FILE.tar.xz}

# Files rewritten with the same content (a check's screenshots) are not changes: without a
# fresh index, git stash create would see changes, find none, and fail.
git update-index -q --refresh >/dev/null || true
tree=$(git -c user.name=release -c user.email=release@localhost stash create)
git archive --format=tar --prefix="$name/" "${tree:-HEAD}" | xz -6 -T1 >"$out"
