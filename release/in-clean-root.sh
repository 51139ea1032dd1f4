#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command as root in a fresh copy of a release's clean root (clean-root.sh), with
# this clone and the cache at their own paths, in mount and PID namespaces that end every
# mount and process with it. Downloaded packages are kept in the cache, a folder per release.
# usage: release/in-clean-root.sh RELEASE COMMAND [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
release=${1:?usage: release/in-clean-root.sh RELEASE COMMAND [ARGUMENT...]}
shift
[ "$#" -gt 0 ] || { echo "in-clean-root.sh: no command" >&2; exit 2; }
# As root, with the user's cache; what the command leaves in the clone and the cache is the
# user's again once it ends.
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
[ "$(id -u)" -eq 0 ] ||
    exec sudo -E TABULON_CACHE="$cache" TABULON_OWNER="$(id -u):$(id -g)" "$0" "$release" "$@"

tarball=$(TABULON_CACHE=$cache "$here/clean-root.sh" "$release")
archives=$cache/apt-archives/$release
mkdir -p "$archives"
root=$(mktemp -d "${TMPDIR:-/tmp}/tabulon-$release-root.XXXXXX")
trap 'find "$root/var/cache/apt/archives" -maxdepth 1 -name "*.deb" \
    -exec cp -l -n -t "$archives" {} + 2>/dev/null || true; rm -rf --one-file-system "$root"
    [ -z "${TABULON_OWNER:-}" ] || chown -R --from=0:0 "$TABULON_OWNER" "$repo" "$cache"' EXIT
tar -C "$root" -xf "$tarball"
# The machine's network as the machine sees it: its name servers, and the authorities it
# trusts beside Debian's (a proxy's, say).
cp /etc/resolv.conf "$root/etc/resolv.conf"
if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
    cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
    cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/ca-certificates.crt"
fi
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
# Root's git works in a clone that another user owns.
printf '[safe]\n\tdirectory = %s\n' "$repo" >"$root/root/.gitconfig"
mkdir -p "$root$repo" "$root$cache"
find "$archives" -maxdepth 1 -name '*.deb' -exec cp -l -t "$root/var/cache/apt/archives" {} +

# The environment is clean but for the CI run's mark and the signing settings, whose files
# are mounted at their own paths.
unshare --mount --pid --fork --propagation private -- bash -euc '
    root=$1 repo=$2 cache=$3 cwd=$4 release=$5
    shift 5
    # A mount point, as / is: tools that mount (mmdebstrap, for a root within) need it.
    mount --bind "$root" "$root"
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount -t tmpfs tmpfs "$root/run"
    mount --bind "$repo" "$root$repo"
    mount --bind "$cache" "$root$cache"
    mapfile -t passed < <(env | grep -E "^(CI|TABULON_CI_RUN|TABULON_SIGN_[A-Z0-9_]+)=" || true)
    for setting in "${passed[@]}"; do
        file=${setting#*=}
        [[ $setting == TABULON_SIGN_* && -e $file ]] || continue
        mkdir -p "$root$(dirname "$file")"
        [ -d "$file" ] && mkdir -p "$root$file" || touch "$root$file"
        mount --bind "$file" "$root$file"
    done
    exec chroot "$root" env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        TABULON_CACHE="$cache" TABULON_IN_ROOT="$release" "${passed[@]}" \
        bash -c "cd \"\$0\" && exec \"\$@\"" "$cwd" "$@"
' in-clean-root "$root" "$repo" "$cache" "$PWD" "$release" "$@"
