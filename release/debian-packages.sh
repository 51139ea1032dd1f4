#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian source package from the upstream tarball and, by sbuild in a clean root
# of each release, the binary packages into build-package/RELEASE/: for amd64, and on Debian
# 12 for i386 too (every architecture's engine: checks/engine-on-every-architecture.sh),
# natively where this kernel runs i386 code, else cross-built, its tests under qemu-i386
# (Debian 12's sbuild cannot cross-build in a later release's root: its resolver is its own).
# sbuild's own runners (release/sbuild.conf) fail the build on a failed check: piuparts and
# the autopkgtest on amd64, lintian on unstable (every tag but the owner's facts). Then
# reprotest on Debian 12: two builds in different environments, byte-identical.
# usage: release/debian-packages.sh [RELEASE...]     (default: bookworm trixie sid)
set -euo pipefail
cd "$(dirname "$0")/.."
out='build-package'
# Cleared only by the owner's facts: a real address, the ITP bug, the upstream signing key.
owner_facts=bogus-mail-host,bogus-mail-host-in-debian-changelog,initial-upload-closes-no-bugs
owner_facts+=,debian-watch-does-not-check-openpgp-signature

if [ "${1:-}" = --reprotest ]; then
    # Users, host names, kernels and file order need privileges or FUSE in a root.
    dev/deps.sh --no-recommends --only reprotest faketime locales-all diffoscope-minimal
    DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends \
        "$(realpath "$2")" >/dev/null
    DEB_BUILD_OPTIONS=nocheck reprotest --min-cpus=1 \
        --variations=+all,-user_group,-domain_host,-kernel,-fileordering "$2" -- null
    exit
fi

releases=("$@")
((${#releases[@]})) || releases=(bookworm trixie sid)
dev/deps.sh --no-recommends --only dpkg-dev sbuild piuparts autopkgtest uidmap

# sbuild's and autopkgtest's unshare modes map the user's sub-IDs, which root has none of:
# root gets a range seen only in this script's own mount namespace.
if [ "$(id -u)" -eq 0 ] && ! grep -qs '^root:' /etc/subuid && [ -z "${TABULON_SUBIDS:-}" ]; then
    mkdir -p "$out"
    echo root:1000000:65536 >"$out/subids"
    exec env TABULON_SUBIDS=1 unshare --mount --propagation private -- bash -c \
        'mount --bind "$1" /etc/subuid && mount --bind "$1" /etc/subgid && shift && exec "$@"' \
        - "$out/subids" "$0" "${releases[@]}"
fi

tarball=$(release/upstream-tarball.sh)
name=$(dpkg-parsechangelog -S Source)
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
find "$out" -mindepth 1 -maxdepth 1 ! -name subids -exec rm -rf {} +
cp "$tarball" "$out/${name}_$upstream.orig.tar.xz"
tar -C "$out" -xf "$tarball"
cp -r debian "$out/$name-$upstream/"
(cd "$out" && dpkg-source -b "$name-$upstream" >/dev/null)
rm -rf "${out:?}/$name-$upstream"
dsc=$out/${name}_$version.dsc
echo "source package: $dsc, from $tarball"

# Where this kernel runs no i386 code, i386 is built in the amd64 root by the cross compiler,
# its tests run under qemu-i386 where the kernel lets a namespace have its own binfmt_misc.
# TABULON_FOREIGN=i386 takes that way on a kernel that runs i386 code too.
i386=native why=
if [[ " ${TABULON_FOREIGN:-} " == *" i386 "* ]]; then
    why="TABULON_FOREIGN names it"
elif ! arch-test -n i386 >/dev/null; then
    why="this kernel runs no i386 code"
fi
if [ -n "$why" ]; then
    i386="cross-built in the amd64 root, as $why"
    if release/with-i386-emulated.sh true 2>"$out/i386-emulated.log"; then
        i386+=", the tests under qemu-i386"
    else
        i386+=", the tests not run: no binfmt_misc of its own ($(tail -n 1 "$out/i386-emulated.log"))"
    fi
fi

export SBUILD_CONFIG=$PWD/release/sbuild.conf
for release in "${releases[@]}"; do
    mkdir -p "$out/$release"
    root=$(release/clean-root.sh "$release")
    architectures=(amd64)
    [ "$release" != bookworm ] || architectures+=(i386)
    for arch in "${architectures[@]}"; do
        how=native build=(--arch="$arch") run=()
        checks=()
        if [ "$arch" = amd64 ]; then
            # Debian 12's piuparts does not know Debian 13's debconf's temporary folder.
            checks+=(--source --run-piuparts --run-autopkgtest
                "--piuparts-opts=--basetgz=$root --distribution=$release --keep-sources-list --no-upgrade-test --ignore=/var/cache/debconf/tmp.ci/"
                "--autopkgtest-opts=--apt-upgrade -- unshare --tarball $root")
            build+=(--chroot="$root")
        elif [ "$i386" = native ]; then
            build+=(--chroot="$(release/clean-root.sh "$release" "$arch")")
        else
            how=$i386 build=(--host="$arch" --build=amd64 --chroot="$root")
            run=(env DEB_BUILD_PROFILES=cross)
            if [[ $i386 == *qemu-i386 ]]; then
                run+=(DEB_BUILD_OPTIONS=crossbuildcanrunhostbinaries release/with-i386-emulated.sh)
            fi
        fi
        if [ "$release" = sid ]; then
            checks+=(--run-lintian "--lintian-opts=-I -E --pedantic --suppress-tags $owner_facts --fail-on error,warning,info,pedantic,experimental")
        fi
        echo "== $release $arch: sbuild, $how"
        log=$out/$release/${name}_${version}_$arch.build
        "${run[@]}" sbuild --chroot-mode=unshare "${build[@]}" --dist=unstable \
            --build-dir="$PWD/$out/$release" --nolog "${checks[@]}" "$dsc" >"$log" 2>&1 ||
            { tail -n 60 "$log" >&2; exit 1; }
        grep -a -E '^(Status|Build-Time|Lintian|Piuparts|Autopkgtest):|^(screen reader check|screen-reader )|tests passed|tests failed' "$log"
    done
done

echo "== reprotest"
release/in-clean-root.sh bookworm "$0" --reprotest "$dsc"
