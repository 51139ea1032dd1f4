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
#  - piuparts (install, purge, nothing left behind) and the autopkgtest on each release;
#  - lintian (unstable's, with informational, pedantic and experimental tags) on the source
#    and every package of each release, failing on any tag but the owner's facts below;
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

case "${1:-}" in
--lintian) # in a clean unstable root: one run per release, as lintian takes packages of
    # one name and version as one package
    shift
    dev/deps.sh --no-recommends --only lintian
    lintian --version
    for changes in "$@"; do
        echo "== lintian: $changes"
        lintian --allow-root -I -E --pedantic --suppress-tags "$owner_facts" \
            --fail-on error,warning,info,pedantic,experimental "$changes"
    done
    echo "lintian: only the owner's facts remain"
    exit ;;
--reprotest) # in a clean Debian 12 root; users, host names, kernels and file order need
    # privileges or FUSE there. The tests shape nothing in the packages.
    dev/deps.sh --no-recommends --only reprotest faketime locales-all diffoscope-minimal
    DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends \
        "$(realpath "$2")" >/dev/null
    DEB_BUILD_OPTIONS=nocheck reprotest --min-cpus=1 \
        --variations=+all,-user_group,-domain_host,-kernel,-fileordering "$2" -- null
    exit ;;
esac

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

for release in "${releases[@]}"; do
    for arch in amd64 i386; do
        echo "== $release $arch: sbuild"
        source_too=()
        [ "$arch" != amd64 ] || source_too=(--source)
        mkdir -p "$out/$release"
        # The changelog's distribution, for the .changes: the root gives the release.
        root=$(release/clean-root.sh "$release" "$arch")
        sbuild --chroot-mode=unshare --chroot="$root" \
            --dist=unstable --arch="$arch" "${source_too[@]}" --build-dir="$out/$release" \
            --no-run-lintian --no-run-piuparts --no-run-autopkgtest --nolog "$dsc" \
            >"$out/$release/${name}_${version}_$arch.build" 2>&1 || {
            tail -n 40 "$out/$release/${name}_${version}_$arch.build" >&2
            exit 1
        }
        grep -E '^(Status|Build-Time):' "$out/$release/${name}_${version}_$arch.build"
    done
    root=$(release/clean-root.sh "$release")
    echo "== $release: piuparts"
    # Debian 13's debconf leaves a temporary folder that Debian 12's piuparts does not know.
    piuparts --basetgz="$root" --distribution="$release" --keep-sources-list \
        --no-upgrade-test --ignore=/var/cache/debconf/tmp.ci/ "$out/$release"/*_amd64.deb >"$out/$release/piuparts.log" 2>&1 || {
        tail -n 40 "$out/$release/piuparts.log" >&2
        exit 1
    }
    tail -n 1 "$out/$release/piuparts.log"
    echo "== $release: autopkgtest"
    autopkgtest --apt-upgrade "$out/$release"/*_amd64.deb "$dsc" -- unshare --tarball "$root" \
        >"$out/$release/autopkgtest.log" 2>&1 || {
        tail -n 40 "$out/$release/autopkgtest.log" >&2
        exit 1
    }
    grep -a -E '^(shows|help|compute-and-help)' "$out/$release/autopkgtest.log"
done

release/in-clean-root.sh sid "$0" --lintian "$out"/*/*.changes
echo "== reprotest"
release/in-clean-root.sh bookworm "$0" --reprotest "$dsc"
