#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a clean Debian root of a release (bookworm, trixie, sid) for an architecture, from
# the archive this machine uses, as a gzipped tarball in the cache (as sbuild, piuparts and
# autopkgtest take it), anew once a week; prints its path and nothing else.
# An update suite that apt cannot fetch now (a mirror in mid-sync) is left out for a while.
# usage: release/clean-root.sh RELEASE [ARCHITECTURE]
set -euo pipefail
release=${1:?usage: release/clean-root.sh RELEASE [ARCHITECTURE]}
arch=${2:-$(dpkg --print-architecture)}
"$(dirname "$0")/../dev/deps.sh" --no-recommends --only mmdebstrap debian-archive-keyring arch-test
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
mkdir -p "$cache/roots"

# shellcheck disable=SC1091 # the host's
host=$(. /etc/os-release && echo "$VERSION_CODENAME")
read -r archive security < <(
    apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' |
        awk -v host="$host" '$2 == host {a = $1} $2 == host "-security" {s = $1}
                             END {print a, s}')
[ -n "$archive" ] || { echo "clean-root.sh: no Debian archive for $host" >&2; exit 1; }
# Unstable's index expires within a week: one from an archive snapshot is taken as it is.
sources=("deb [check-valid-until=no] $archive $release main")
if [ "$release" != sid ]; then
    sources+=("deb $archive $release-updates main")
    [ -z "$security" ] || sources+=("deb $security $release-security main")
fi

# Whether apt can fetch a suite's index now, tried in a scratch folder.
served() {
    local scratch status=0
    scratch=$(mktemp -d)
    printf '%s\n' "$1" >"$scratch/sources.list"
    mkdir -p "$scratch/lists/partial"
    apt-get -qq -o Debug::NoLocking=true -o APT::Sandbox::User=root \
        -o Dir::Etc::SourceList="$scratch/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$scratch/lists" -o Dir::Cache="$scratch" \
        -o APT::Architecture="$arch" -o APT::Architectures="$arch" -o Acquire::Languages=none \
        -o Acquire::IndexTargets::deb::Contents-deb::DefaultEnabled=false update \
        >"$scratch/log" 2>&1 || { status=$?; grep "^E:" "$scratch/log" >&2; }
    rm -rf "$scratch"
    return "$status"
}
used=("${sources[0]}") unserved=()
for line in "${sources[@]:1}"; do
    if served "$line"; then used+=("$line"); else unserved+=("$(awk '{print $3}' <<<"$line")"); fi
done
root=$cache/roots/$release-$arch${unserved[*]:+-without-$(IFS=-; echo "${unserved[*]}")}.tar.gz
((${#unserved[@]} == 0)) || echo "clean-root.sh: leaving ${unserved[*]} out for now" >&2

# One maker at a time for each root.
exec 9>"$root.lock"
flock -w 1800 9 || { echo "clean-root.sh: $root is locked by another run" >&2; exit 1; }
if ! [ -f "$root" ] || [ -n "$(find "$root" -mtime +6)" ]; then
    echo "Making a clean $release $arch root in $root (a few minutes)" >&2
    mmdebstrap --quiet --variant=buildd --architectures="$arch" --include=ca-certificates \
        "$release" "${root%.tar.gz}.new.tar.gz" "${used[@]}" >&2
    mv "${root%.tar.gz}.new.tar.gz" "$root"
fi
echo "$root"
