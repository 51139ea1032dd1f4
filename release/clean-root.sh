#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes, once, a clean Debian root of a release (bookworm, trixie, sid) for an architecture
# (the machine's own by default) as a tarball in the cache outside the clone, from the
# Debian archive this machine itself uses, and prints its path, and nothing else. A root
# older than a week is made anew, so that it stays current. sbuild, piuparts and
# autopkgtest take these tarballs; gzipped, as Debian 12's piuparts needs.
# usage: release/clean-root.sh RELEASE [ARCHITECTURE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=${1:?usage: release/clean-root.sh RELEASE [ARCHITECTURE]}
arch=${2:-$(dpkg --print-architecture)}

"$here/../dev/deps.sh" --no-recommends --only mmdebstrap debian-archive-keyring arch-test
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
root=$cache/roots/$release-$arch.tar.gz
mkdir -p "$cache/roots"

# One maker at a time for each root; a second run waits for the first's root.
exec 9>"$root.lock"
flock -w 1800 9 || { echo "clean-root.sh: $root is locked by another run" >&2; exit 1; }
if ! [ -f "$root" ] || [ -n "$(find "$root" -mtime +6)" ]; then
    # The Debian archives this machine uses: the sites of its main and security suites.
    host=$(. /etc/os-release && echo "$VERSION_CODENAME")
    read -r archive security < <(
        apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' |
            awk -v host="$host" '$2 == host {a = $1} $2 == host "-security" {s = $1}
                                 END {print a, s}')
    [ -n "$archive" ] || { echo "clean-root.sh: no Debian archive for $host" >&2; exit 1; }
    # Unstable has no updates or security suites; its index expires within a week, so one
    # from an archive snapshot is taken as it is.
    mirrors=("deb [check-valid-until=no] $archive $release main")
    if [ "$release" != sid ]; then
        mirrors+=("deb $archive $release-updates main")
        [ -z "$security" ] || mirrors+=("deb $security $release-security main")
    fi
    echo "Making a clean $release $arch root in $root (a few minutes)" >&2
    new=${root%.tar.gz}.new.tar.gz
    mmdebstrap --quiet --variant=buildd --architectures="$arch" --include=ca-certificates \
        "$release" "$new" "${mirrors[@]}" >&2
    mv "$new" "$root"
fi
echo "$root"
