#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages from the upstream release tarball and checks them with
# Debian's own tools, in clean roots of each release (clean-root.sh), into build-package/:
#  - the source package: the release tarball (upstream-tarball.sh) as its .orig, and debian/;
#  - for each release and for amd64 and i386, the binary packages, built by sbuild as
#    Debian's build daemons build them (without network, as an unprivileged user, running
#    the tests), in build-package/RELEASE/ with the build log and a .changes, which for
#    amd64 carries the source too;
#  - by sbuild's own runners, each failing the build when it fails (release/sbuild.conf):
#    on amd64, piuparts (install, purge, nothing left behind) and the autopkgtest; on
#    unstable, lintian (with informational, pedantic and experimental tags), as Debian's
#    archive checks an upload, failing on any tag but the owner's facts below;
#  - reprotest on Debian 12: built twice in different environments, byte-identical.
# usage: release/debian-packages.sh [RELEASE...]     (default: bookworm trixie sid)
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-package
# Tags that only the owner's own facts clear: the maintainer's real address; the bug asking
# for the package to enter Debian, which the first changelog entry closes; and the upstream
# signing key, with which debian/watch will check the release tarball's signature.
owner_facts=bogus-mail-host,bogus-mail-host-in-debian-changelog,initial-upload-closes-no-bugs
owner_facts+=,debian-watch-does-not-check-openpgp-signature

if [ "${1:-}" = --reprotest ]; then
    # In a clean Debian 12 root; users, host names, kernels and file order need privileges
    # or FUSE there. The tests shape nothing in the packages.
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

# sbuild's unshare mode and autopkgtest's unshare server map the user's sub-IDs
# (/etc/subuid), which root has none of: CI runs as root, so give root a range seen only
# in a mount namespace of this script's own, and leave the machine's files alone.
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

export SBUILD_CONFIG=$PWD/release/sbuild.conf
for release in "${releases[@]}"; do
    mkdir -p "$out/$release"
    root=$(release/clean-root.sh "$release")
    for arch in amd64 i386; do
        echo "== $release $arch: sbuild"
        checks=()
        if [ "$arch" = amd64 ]; then
            # Debian 13's debconf leaves a temporary folder that Debian 12's piuparts does
            # not know.
            checks+=(--source --run-piuparts --run-autopkgtest
                "--piuparts-opts=--basetgz=$root --distribution=$release --keep-sources-list --no-upgrade-test --ignore=/var/cache/debconf/tmp.ci/"
                "--autopkgtest-opts=--apt-upgrade -- unshare --tarball $root")
        fi
        if [ "$release" = sid ]; then
            checks+=(--run-lintian "--lintian-opts=-I -E --pedantic --suppress-tags $owner_facts --fail-on error,warning,info,pedantic,experimental")
        fi
        # The changelog's distribution, for the .changes: the root gives the release.
        log=$out/$release/${name}_${version}_$arch.build
        sbuild --chroot-mode=unshare --chroot="$(release/clean-root.sh "$release" "$arch")" \
            --dist=unstable --arch="$arch" --build-dir="$PWD/$out/$release" --nolog \
            "${checks[@]}" "$dsc" >"$log" 2>&1 || { tail -n 60 "$log" >&2; exit 1; }
        grep -a -E '^(Status|Build-Time|Lintian|Piuparts|Autopkgtest):|^(shows|help|compute-and-help)' "$log"
    done
done

echo "== reprotest"
release/in-clean-root.sh bookworm "$0" --reprotest "$dsc"
