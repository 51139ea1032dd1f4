#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# In a clean root: fetches Debian source packages, once, into $TABULON_CACHE/sources/, checked
# by apt, and prints the folder of each; one the archive does not serve is left out.
# usage: release/debian-sources.sh NAME=VERSION...
set -euo pipefail
cache=${TABULON_CACHE:?run it through release/in-clean-root.sh}/sources

grep -qs '^deb-src ' /etc/apt/sources.list.d/source.list ||
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/source.list
apt-get update -qq >&2
for package in "$@"; do
    name=${package%%=*} version=${package#*=}
    folder=${name}_${version#*:}
    if ! [ -f "$cache/$folder/.complete" ]; then
        rm -rf "${cache:?}/$folder"
        mkdir -p "$cache/$folder"
        (cd "$cache/$folder" && apt-get source -qq --download-only "$package" >/dev/null 2>&1 &&
            touch .complete) || echo "warning: the archive does not serve $package" >&2
    fi
    [ ! -f "$cache/$folder/.complete" ] || echo "$folder"
done
