#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command, as root, where i386 programs run under qemu-i386 although this kernel runs
# no 32-bit code: in a user namespace of its own that maps every ID to itself, with its own
# binfmt_misc (Linux 6.7 and later) handing i386 programs to qemu-user-static's emulator.
# The namespaces that the command makes inherit the handler; nothing outside sees it, and it
# ends with the command.
# usage: release/with-i386-emulated.sh COMMAND [ARGUMENT...]
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "with-i386-emulated.sh: runs as root" >&2; exit 1; }
[ "$#" -gt 0 ] || { echo "usage: release/with-i386-emulated.sh COMMAND [ARGUMENT...]" >&2; exit 2; }
qemu=$("$(dirname "$0")/../dev/qemu-user-static.sh")/qemu-i386-static
# qemu's own pattern for i386 ELF programs; F opens the emulator now, so any root can use it.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

go=$(mktemp -u) && mkfifo -m 600 "$go"
trap 'rm -f "$go"' EXIT
# The namespace's root maps IDs only once this shell has written its maps.
unshare --user --mount --propagation private -- bash -euc '
    read -r _ <"$1"
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf "%s" ":qemu-i386:M::$2:$3:$4:F" >/proc/sys/fs/binfmt_misc/register
    shift 4
    exec "$@"' with-i386-emulated "$go" "$magic" "$mask" "$qemu" "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' INT TERM
for _ in $(seq 100); do
    [ "$(readlink "/proc/$pid/ns/user")" = "$(readlink /proc/self/ns/user)" ] || break
    sleep 0.05
done
echo "0 0 4294967295" >"/proc/$pid/uid_map"
echo "0 0 4294967295" >"/proc/$pid/gid_map"
echo go >"$go"
wait "$pid"
