#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The engine on every release architecture of Debian 13: its table tool (engine_rows, no Qt)
# built static by Debian's cross compilers, then run on every table the tests know, natively
# where this kernel runs the architecture's code, else under qemu-user (no binfmt, no root).
# Each must give amd64's method and both verdicts for every table. The p-values may differ
# in their last bits (x87 on i386), so how many agree to the bit is printed, not judged.
set -euo pipefail
cd "$(dirname "$0")/.."
architectures=(amd64 arm64 armel armhf i386 ppc64el riscv64 s390x)
[ "$(dpkg --print-architecture)" = amd64 ] || { echo "$0: runs on amd64" >&2; exit 1; }

gnu_type() { dpkg-architecture -a "$1" -q DEB_HOST_GNU_TYPE 2>/dev/null; }
packages=(dpkg-dev arch-test)
for arch in "${architectures[@]:1}"; do packages+=("g++-$(gnu_type "$arch")"); done
dev/deps.sh --no-recommends --only "${packages[@]}"
qemu=$(dev/qemu-user-static.sh)

out=build-architectures
rm -rf "$out" && mkdir -p "$out"
checks/known-tables.sh >"$out/tables"
echo "$(wc -l <"$out/tables") tables"
for arch in "${architectures[@]}"; do
    type=$(gnu_type "$arch")
    compiler=$type-g++
    [ "$arch" != amd64 ] || compiler=g++
    cmake -S . -B "$out/$arch" -DTABULON_ENGINE_ONLY=ON -DCMAKE_CXX_COMPILER="$compiler" \
        -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="${type%%-*}" \
        -DCMAKE_EXE_LINKER_FLAGS=-static >"$out/$arch.log" 2>&1 &&
        cmake --build "$out/$arch" -j"$(nproc)" >>"$out/$arch.log" 2>&1 ||
        { cat "$out/$arch.log" >&2; exit 1; }
    tool=$out/$arch/tests/web/engine_rows
    # TABULON_FOREIGN="i386 ..." emulates those too, as on a kernel that runs none of their code.
    if [[ " ${TABULON_FOREIGN:-} " == *" $arch "* ]]; then
        why="TABULON_FOREIGN names it"
    elif arch-test -n "$arch" >/dev/null; then
        why=
    else
        why="this kernel runs no $arch code"
    fi
    if [ -z "$why" ]; then
        how=native run=()
    else
        cpu=$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_CPU 2>/dev/null)
        cpu=${cpu/#i686/i386} cpu=${cpu/#powerpc64le/ppc64le}
        how="cross-built, under qemu-$cpu, as $why"
        run=("$qemu/qemu-$cpu-static")
    fi
    start=$SECONDS
    timeout 600 "${run[@]}" "$tool" <"$out/tables" >"$out/$arch.rows"
    echo "$arch: $how, $((SECONDS - start)) s"
done

# amd64's verdicts are the tests' own (tests/stats/test_engine.cpp checks them against R's).
failed=0
for arch in "${architectures[@]:1}"; do
    awk -F '\t' -v arch="$arch" -v tables="$(wc -l <"$out/tables")" '
        { verdicts = $1 FS $2 FS $3 FS $4 }
        NR == FNR { amd64[FNR] = $0; amd64_verdicts[FNR] = verdicts; next }
        verdicts == amd64_verdicts[FNR] { same++ }
        verdicts != amd64_verdicts[FNR] && ++differ <= 10 { print arch ": " $0 "; amd64: " amd64[FNR] }
        $0 == amd64[FNR] { bits++ }
        END {
            printf "%s: method and both verdicts as amd64 for %d of %d tables; ", arch, same, tables
            printf "both p-values the same to the bit for %d\n", bits
            exit same != tables || FNR != tables
        }' "$out/amd64.rows" "$out/$arch.rows" >"$out/$arch.compared" || failed=1
    iconv -f CP1251 -t UTF-8 "$out/$arch.compared"
done
exit "$failed"
