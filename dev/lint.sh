#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the formatting of every source, runs clang-tidy with the checks in .clang-tidy
# over every translation unit, and checks with `reuse lint` that every file states its
# licence and copyright; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh clang-format clang-tidy clang-14 libbenchmark-dev reuse
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files clean"

# clang-tidy needs the compile commands and the generated moc and form headers,
# not the objects: configure every target (with clang, so that the fuzz target is one)
# and run only the code generators.
cmake --preset lint >/dev/null
mapfile -t generators < <(cmake --build build-lint --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p')
cmake --build build-lint -j"$(nproc)" --target "${generators[@]}" >/dev/null
# Every unit of the Linux build: the Windows packaging's own source is not one, nor are the
# web page's engine and its test build, which only emscripten compiles.
mapfile -t units < <(git ls-files '*.cpp' ':!dist' ':!web' ':!tests/web/pvalues.cpp')
# Its findings, less the count of warnings it suppressed in headers it does not report on.
clang-tidy -p build-lint --quiet "${units[@]}" 2>&1 |
    { grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' || true; }
echo "clang-tidy: ${#units[@]} files clean"

reuse lint
