#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the format of every source, runs clang-tidy over every translation unit and
# `reuse lint`; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh clang-format clang-tidy clang-14 libbenchmark-dev reuse
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files clean"

# clang-tidy needs the compile commands and the generated headers of every target.
cmake --preset lint >/dev/null
mapfile -t generators < <(cmake --build build-lint --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p')
cmake --build build-lint -j"$(nproc)" --target "${generators[@]}" >/dev/null
# Not the Windows packaging's nor what only emscripten compiles.
mapfile -t units < <(git ls-files '*.cpp' ':!dist' ':!web' ':!tests/web/pvalues.cpp')
clang-tidy -p build-lint --quiet "${units[@]}" 2>&1 |
    { grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' || true; }
echo "clang-tidy: ${#units[@]} files clean"

reuse lint
