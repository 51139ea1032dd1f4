#!/usr/bin/env bash
# Makes, once, a clean Debian root for a release (bookworm, trixie, ...) as a tarball in
# the cache outside the clone, from the Debian archives this machine itself uses, and
# prints its path. A root older than a week is made anew, so that it stays current.
# usage: tools/debian/root.sh RELEASE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=${1:?usage: tools/debian/root.sh RELEASE}

"$here/../deps.sh" --no-recommends mmdebstrap debian-archive-keyring
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
arch=$(dpkg --print-architecture)
root=$cache/roots/$release-$arch.tar
mkdir -p "$cache/roots"

# One maker at a time for each release; a second run waits for the first's root.
exec 9>"$root.lock"
flock -w 1800 9 || { echo "root.sh: $root is locked by another run" >&2; exit 1; }
if [ -f "$root" ] && [ -z "$(find "$root" -mtime +6)" ]; then
    echo "$root"
    exit 0
fi

# The machine's own Debian archives: the URI of its main suite and of its security suite,
# from the deb822 and one-line source lists alike.
host=$(. /etc/os-release && echo "$VERSION_CODENAME")
read -r archive security < <(
    {
        for file in /etc/apt/sources.list.d/*.sources; do
            [ -f "$file" ] || continue
            awk -v RS= '/(^|\n)Types:[^\n]*deb([ \n]|$)/' "$file" |
                awk '/^URIs:/ {uri = $2} /^Suites:/ {for (i = 2; i <= NF; i++) print uri, $i}'
        done
        for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [ -f "$file" ] || continue
            sed -E -n 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+([^[:space:]]+).*/\2 \3/p' "$file"
        done
    } | awk -v host="$host" '$2 == host {a = $1} $2 == host "-security" {s = $1}
                             END {print a, s}')
[ -n "$archive" ] || { echo "root.sh: no Debian archive for $host in the apt sources" >&2; exit 1; }

echo "Making a clean $release root in $root (a few minutes)" >&2
mirrors=("deb $archive $release main" "deb $archive $release-updates main")
[ -z "$security" ] || mirrors+=("deb $security $release-security main")
mmdebstrap --quiet --format=tar --variant=buildd --include=ca-certificates "$release" "$root.new" \
    "${mirrors[@]}"
mv "$root.new" "$root"
echo "$root"
