#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# In a clean Debian 12 root, builds the web page into build-web/tabulon2x2-VERSION-web/:
# the form (web/), its engine compiled to WebAssembly by emscripten, help, a manifest, a
# service worker for use offline, the notices and the source archive; and in
# build-web/tests/ the engine with its p-values exported, for checks/web-in-browsers.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${TABULON_IN_ROOT:-}" ] || exec release/in-clean-root.sh bookworm "$0" "$@"

dev/deps.sh --no-recommends --only cmake ninja-build emscripten librsvg2-bin python3-debian git \
    xz-utils
cmake --preset web --fresh >/dev/null
cmake --build build-web
version=$(dev/version.sh)
name=tabulon2x2-$version
page=build-web/$name-web
source_tar=$name-web-source.tar
rm -rf "$page"
cmake --install build-web --prefix "$page" >/dev/null

# The engine linked again, with a trace of what it takes in, for its notices.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
link=$(ninja -C build-web -t commands tabulon_web_engine | tail -n 1)
(cd build-web && eval "${link//-o web\/engine.wasm/-o $scratch/engine.wasm -Wl,--trace}") \
    >"$scratch/trace"
cmp -s "$scratch/engine.wasm" build-web/web/engine.wasm ||
    { echo "web-page.sh: the engine linked again is not the same" >&2; exit 1; }
mapfile -t runtime < <(python3 release/web-notices.py --sources build-web <"$scratch/trace")
mapfile -t runtime_source < <(release/debian-sources.sh "${runtime[@]}")
echo "== what the engine links, and its notices"
python3 release/web-notices.py "$source_tar" build-web <"$scratch/trace" \
    >"$page/THIRD-PARTY-NOTICES.txt"

# The page's source: the program's, and the source package of the runtime in its engine.
program=$(release/upstream-tarball.sh)
tar --create --file "$page/$source_tar" --sort=name --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX \
    --mtime="@$(git log -1 --format=%ct)" --transform "s#^#$name-web-source/#" --exclude=.complete \
    -C "$(dirname "$program")" "$(basename "$program")" \
    ${runtime_source:+-C "$TABULON_CACHE/sources" "${runtime_source[@]}"}

# The service worker keeps every file but the source archive, under a name that changes with them.
mapfile -t files < <(cd "$page" && find . -type f ! -name "$source_tar" ! -name service-worker.js |
    sed 's#^\./##' | sort)
cache_version=$(cd "$page" && cat "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf "'%s', " ./ "${files[@]}")
sed -i "s#@VERSION@#$cache_version#; s#'@FILES@'#${list%, }#" "$page/service-worker.js"

echo "== the page, $(du -sh "$page" | cut -f1) with its source archive"
for file in "$page"/*.{html,js,css,wasm}; do
    printf '%-24s %7d bytes, %6d gzipped\n' "${file#"$page"/}" "$(stat -c %s "$file")" \
        "$(gzip -9 -c "$file" | wc -c)"
done
