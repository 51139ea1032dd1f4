#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes, once, a clean Debian root of a release (bookworm, trixie, sid) for an architecture
# (the machine's own by default) as a tarball in the cache outside the clone, from the
# Debian archive this machine itself uses, and prints its path, and nothing else. A root
# older than a week is made anew, so that it stays current. sbuild, piuparts and
# autopkgtest take these tarballs; gzipped, as Debian 12's piuparts needs.
# While a mirror syncs, an update suite's (-updates, -security) Release and Packages can
# be out of step, and apt then fails on it. Such a suite is left out of what is printed:
# a copy of the root without it, for as long as the archive cannot serve it.
# usage: release/clean-root.sh RELEASE [ARCHITECTURE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=${1:?usage: release/clean-root.sh RELEASE [ARCHITECTURE]}
arch=${2:-$(dpkg --print-architecture)}

"$here/../dev/deps.sh" --no-recommends --only mmdebstrap debian-archive-keyring arch-test \
    python3
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
root=$cache/roots/$release-$arch.tar.gz
mkdir -p "$cache/roots"

# The Debian archives this machine uses: the sites of its main and security suites.
host=$(. /etc/os-release && echo "$VERSION_CODENAME")
read -r archive security < <(
    apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' |
        awk -v host="$host" '$2 == host {a = $1} $2 == host "-security" {s = $1}
                             END {print a, s}')
[ -n "$archive" ] || { echo "clean-root.sh: no Debian archive for $host" >&2; exit 1; }
# Unstable has no updates or security suites; its index expires within a week, so one
# from an archive snapshot is taken as it is.
release_line="deb [check-valid-until=no] $archive $release main"
updates=()
if [ "$release" != sid ]; then
    updates+=("deb $archive $release-updates main")
    [ -z "$security" ] || updates+=("deb $security $release-security main")
fi

# Whether apt can fetch a suite's index for the architecture now, tried in a scratch
# folder with the machine's own keys; apt's errors are kept in $complaints.
complaints=
served() {
    local scratch status=0
    scratch=$(mktemp -d)
    printf '%s\n' "$1" >"$scratch/sources.list"
    mkdir -p "$scratch/lists/partial"
    apt-get -qq -o Debug::NoLocking=true -o APT::Sandbox::User=root \
        -o Dir::Etc::SourceList="$scratch/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$scratch/lists" -o Dir::Cache="$scratch" \
        -o APT::Architecture="$arch" -o APT::Architectures="$arch" \
        -o Acquire::Languages=none \
        -o Acquire::IndexTargets::deb::Contents-deb::DefaultEnabled=false update \
        >"$scratch/log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || complaints+=$(grep "^E:" "$scratch/log")$'\n'
    rm -rf "$scratch"
    return "$status"
}
served_updates=() unserved=()
for line in "${updates[@]}"; do
    if served "$line"; then
        served_updates+=("$line")
    else
        unserved+=("$(awk '{print $3}' <<<"$line")")
    fi
done

# One maker at a time for each root; a second run waits for the first's root.
exec 9>"$root.lock"
flock -w 1800 9 || { echo "clean-root.sh: $root is locked by another run" >&2; exit 1; }
if ! [ -f "$root" ] || [ -n "$(find "$root" -mtime +6)" ]; then
    echo "Making a clean $release $arch root in $root (a few minutes)" >&2
    # Made from the suites served now; its sources name them all.
    sources=$(mktemp)
    trap 'rm -f "$sources"' EXIT
    printf '%s\n' "$release_line" "${updates[@]}" >"$sources"
    new=${root%.tar.gz}.new.tar.gz
    mmdebstrap --quiet --variant=buildd --architectures="$arch" --include=ca-certificates \
        --customize-hook="upload $sources /etc/apt/sources.list" \
        "$release" "$new" "$release_line" "${served_updates[@]}" >&2
    rm -f "${root%.tar.gz}"-without-*.tar.gz
    mv "$new" "$root"
fi
((${#unserved[@]})) || { echo "$root"; exit; }

# The root with the sources that are served now.
without=${root%.tar.gz}-without-$(IFS=-; echo "${unserved[*]}").tar.gz
if ! [ "$without" -nt "$root" ]; then
    echo "clean-root.sh: leaving ${unserved[*]} out of the $release $arch root for now:" >&2
    printf "%s" "$complaints" >&2
    python3 - "$root" "$without.new" "${unserved[@]}" <<'EOF_PY'
import io, sys, tarfile

source, target, *suites = sys.argv[1:]
with tarfile.open(source, "r:gz") as old, \
        tarfile.open(target, "w:gz", compresslevel=1, format=tarfile.PAX_FORMAT) as new:
    for member in old:
        data = old.extractfile(member) if member.isreg() else None
        if member.name.removeprefix("./") == "etc/apt/sources.list":
            kept = [line for line in data.read().decode().splitlines(keepends=True)
                    if not any(f" {suite} " in line for suite in suites)]
            text = "".join(kept).encode()
            member.size, data = len(text), io.BytesIO(text)
        new.addfile(member, data)
EOF_PY
    mv "$without.new" "$without"
fi
echo "$without"
