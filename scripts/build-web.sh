#!/bin/sh
# Builds the browser version into build-web/: quorvel.js and quorvel.wasm (the
# engine), quorvel-worker.js, the book qvr.bin, the page with its manifest,
# icons and service worker, the npm package's files, and
# quorvel-bench.js/.wasm. web/site-files.txt lists the files of the page (what
# the service worker caches, what a release of the site packs). Needs
# emscripten (emcc); the book comes from the native quorvel-book of build/,
# built here when missing. WEB_OUT and NATIVE_BUILD name other folders for the
# two (scripts/release.sh).
set -eu

cd "$(dirname "$0")/.."
JOBS="${JOBS:-2}"
OUT="${WEB_OUT:-build-web}"
NATIVE="${NATIVE_BUILD:-build}"
# Debian's emcc runs its tools in the node on the PATH, which must find
# Debian's acorn; the glue must not fetch the wasm by file path in Node 20.
NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
export NODE_PATH

if ! command -v emcc >/dev/null 2>&1; then
    echo "build-web.sh: emcc not found (apt-get install emscripten)" >&2
    exit 1
fi

emcmake cmake -S . -B "$OUT/cmake" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF "$@" >/dev/null
cmake --build "$OUT/cmake" -j "$JOBS" --target quorvel-web quorvel-bench

if [ ! -x "$NATIVE/quorvel-book" ]; then
    cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$NATIVE" -j "$JOBS" --target quorvel-book
fi
"$NATIVE/quorvel-book" build book/openings.txt -o "$OUT/qvr.bin" >/dev/null

cp "$OUT/cmake/quorvel.js" "$OUT/cmake/quorvel.wasm" "$OUT/cmake/quorvel-bench.js" "$OUT/cmake/quorvel-bench.wasm" "$OUT/"
cp web/*.js web/*.mjs web/*.d.ts web/*.html web/*.css web/*.webmanifest web/*.svg web/icon-*.png web/site-files.txt web/package.json "$OUT/"
cp web/README.md "$OUT/" 2>/dev/null || true

# Every file of the page must be there; the service worker's cache is named
# after their contents, so that each new build replaces what browsers hold.
SITE_FILES=$(grep -v '^#' web/site-files.txt | grep -v service-worker.js)
for file in $SITE_FILES service-worker.js; do
    if [ ! -f "$OUT/$file" ]; then
        echo "build-web.sh: $OUT/$file is listed in web/site-files.txt but was not built" >&2
        exit 1
    fi
done
VERSION=$(cd "$OUT" && cat $SITE_FILES | sha256sum | cut -c1-16)
sed "s/^const Version = .*/const Version = '$VERSION';/" web/service-worker.js >"$OUT/service-worker.js"
echo "build-web.sh: $OUT/ ready ($(wc -c <"$OUT/quorvel.wasm") bytes of wasm)"
