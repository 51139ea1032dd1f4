#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the format of every source, runs clang-tidy over every translation unit, `reuse lint`,
# the page's linters and the scripts', and that the version is the same wherever it stands; any
# finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh git dpkg-dev clang-format clang-tidy clang libbenchmark-dev reuse
# Assigned first, so that a failing git fails the script.
sources=$(git ls-files '*.cpp' '*.h')
mapfile -t sources <<<"$sources"
clang-format --dry-run -Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files clean"

# clang-tidy needs the compile commands and the generated headers of every target.
# Anew: the folder may hold another release's build.
rm -rf build-lint
cmake --preset lint >/dev/null
mapfile -t generators < <(cmake --build build-lint --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p')
cmake --build build-lint -j"$(nproc)" --target "${generators[@]}" >/dev/null
# Not the Windows packaging's nor what only emscripten compiles.
units=$(git ls-files '*.cpp' ':!dist' ':!web' ':!tests/web/pvalues.cpp')
mapfile -t units <<<"$units"
clang-tidy -p build-lint --quiet "${units[@]}" 2>&1 |
    { grep -v -E '^([0-9]+ warnings? (and [0-9]+ errors? )?generated\.|\[[0-9]+/[0-9]+\] Processing file .*)$' || true; }
echo "clang-tidy: ${#units[@]} files clean"

# The page's scripts, style sheet and HTML, help as clang-tidy's build filled it in, and the
# checks' JavaScript, by the linters package-lock.json pins. Any npm will do: these machines'
# own, where they have one, or Debian's.
command -v npm >/dev/null || dev/deps.sh --no-recommends --only nodejs npm
npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null
npm run -s lint
npm run -s format:check >/dev/null
echo "eslint, stylelint, html-validate, prettier: the page, help and the web checks clean"

reuse lint

# Every shell and Python script, by its suffix or its first line (.ci/run, debian/tests/).
files=$(git ls-files)
mapfile -t files <<<"$files"
shells=() pythons=()
shell_line='^#!.*[/ ](ba)?sh( |$)' python_line='^#!.*[/ ]python3?( |$)'
for file in "${files[@]}"; do
    case $file in
    *.sh) shells+=("$file") ;;
    *.py) pythons+=("$file") ;;
    *)
        [ -f "$file" ] || continue
        first=
        IFS= read -r -n 200 first <"$file" || true
        if [[ $first =~ $shell_line ]]; then
            shells+=("$file")
        elif [[ $first =~ $python_line ]]; then
            pythons+=("$file")
        fi
        ;;
    esac
done
dev/deps.sh --only shellcheck flake8
shellcheck "${shells[@]}"
echo "shellcheck: ${#shells[@]} files clean"
# Debian's own, not a python3 on PATH that may lack it.
/usr/bin/flake8 "${pythons[@]}"
echo "flake8: ${#pythons[@]} files clean"

# The version is project()'s in CMakeLists.txt; the manual page, the metainfo's latest release
# and the Debian package's upstream version repeat it.
version=$(dev/version.sh)
man=$(sed -n 's/^\.TH .*"Tabulon 2x2 \([^"]*\)".*/\1/p' dist/linux/tabulon2x2.1)
metainfo=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' dist/linux/tabulon2x2.metainfo.xml | head -n 1)
debian=$(dpkg-parsechangelog -S Version)
for found in "dist/linux/tabulon2x2.1 $man" "dist/linux/tabulon2x2.metainfo.xml $metainfo" \
    "debian/changelog ${debian%-*}"; do
    [ "${found#* }" = "$version" ] ||
        { echo "version: ${found% *} gives ${found#* }, CMakeLists.txt $version" >&2; exit 1; }
done
echo "version: $version in CMakeLists.txt, the manual page, the metainfo and debian/changelog"
