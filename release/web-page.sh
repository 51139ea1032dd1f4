#!/usr/bin/env bash
# Builds Tabulon as a web page (Qt for WebAssembly) into build-web/tabulon2x2-<version>-web/:
# static files that any web server can serve (the page, its .js and .wasm, Qt's loader, the
# web app manifest, icons and a service worker that keeps them for use offline), with
# THIRD-PARTY-NOTICES.txt and the archive of the page's complete corresponding source,
# tabulon2x2-<version>-web-source.tar, both linked from the page. Built in a clean Debian
# 13 root, with its emscripten, against the Qt for WebAssembly that qt-build.sh builds once
# (about 20 minutes on two cores). checks/web-in-chromium.sh tests the page.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${TABULON_IN_ROOT:-}" ] || exec release/in-clean-root.sh trixie "$0" "$@"

qt=$(release/qt-build.sh web)
dev/deps.sh --no-recommends emscripten ninja-build python3 git xz-utils gzip
export EMSDK=/usr/share/emscripten

# Configured afresh, so that no setting stays from an earlier Qt. Debian's Qt leaves out
# the plugin targets unless asked for them; QtTest is not built for the web.
cmake --fresh -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_HOST_PATH=/usr \
    -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF >/dev/null
cmake --build build-web
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)
name=tabulon2x2-$version
page=build-web/$name-web
source_tar=$name-web-source.tar
rm -rf "$page"
cmake --install build-web --prefix "$page" >/dev/null

# The notices of what the program links: Qt's libraries, as the link command names them,
# and emscripten's runtime, whose libc stands for it.
mapfile -t linked < <(ninja -C build-web -t commands tabulon2x2 | tail -n 1 | tr ' ' '\n' |
    grep -E "^$qt/.*\.a$" | sort -u)
linked+=("$(em-config CACHE)/sysroot/lib/wasm32-emscripten/libc.a")
notices=(python3 release/third-party-notices.py)
mapfile -t runtime < <("${notices[@]}" sources web "$qt" "${linked[@]}" 2>/dev/null)
mapfile -t runtime_source < <(release/debian-sources.sh "${runtime[@]}")
echo "== what the page links, and its notices"
"${notices[@]}" notices web "$qt" "$source_tar" "${linked[@]}" >"$page/THIRD-PARTY-NOTICES.txt"

# The page's complete corresponding source: the program's own at this commit (with any
# changes to tracked files), Debian's source packages of the Qt and the emscripten runtime
# in it, and the steps that built that Qt.
tree=$(git -c user.name=release -c user.email=release@localhost stash create)
git archive --format=tar --prefix="$name/" "${tree:-HEAD}" | xz -6 -T1 >"build-web/$name.tar.xz"
tar --create --file "$page/$source_tar" --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime="@$(stat -c %Y "$qt/.complete")" --transform "s#^#$name-web-source/#" \
    --exclude=.complete -C build-web "$name.tar.xz" -C "$qt/source" $(ls "$qt/source") \
    ${runtime_source:+-C "$TABULON_CACHE/sources" "${runtime_source[@]}"}

# The service worker keeps every file of the page but the source archive, under a name that
# changes with any of them.
mapfile -t files < <(cd "$page" && find . -type f ! -name "$source_tar" ! -name service-worker.js |
    sed 's#^\./##' | sort)
cache_version=$(cd "$page" && cat "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf "'%s', " ./ "${files[@]}")
sed -i "s#@VERSION@#$cache_version#; s#@FILES@#${list%, }#" "$page/service-worker.js"

echo "== the page, $(du -sh "$page" | cut -f1) with its source archive"
for file in "$page"/*.{html,js,wasm}; do
    printf '%-40s %9d bytes, %9d gzipped\n' "${file#"$page"/}" "$(stat -c %s "$file")" \
        "$(gzip -9 -c "$file" | wc -c)"
done
