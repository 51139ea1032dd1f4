#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the folder of qemu-user-static's emulators (qemu-CPU-static), unpacked into the
# cache from this release's package, not installed: installed, its binfmt handlers would run
# every foreign program on the machine under qemu from the next boot on.
set -euo pipefail
cache=${TABULON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulon2x2}
version=$(apt-cache policy qemu-user-static | awk '$1 == "Candidate:" && $2 != "(none)" { print $2 }')
[ -n "$version" ] || { echo "qemu-user-static.sh: apt knows no qemu-user-static" >&2; exit 1; }
folder=$cache/qemu-user-static/${version//:/%3a}
if ! [ -x "$folder/usr/bin/qemu-i386-static" ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    (cd "$scratch" && apt-get download -qq -o APT::Sandbox::User="$(id -un)" \
        "qemu-user-static=$version")
    mkdir -p "$scratch/unpacked"
    dpkg-deb -x "$scratch"/qemu-user-static_*.deb "$scratch/unpacked"
    mkdir -p "$(dirname "$folder")"
    rm -rf "$folder" && mv "$scratch/unpacked" "$folder"
fi
echo "$folder/usr/bin"
