#!/bin/sh
# Builds the browser version into build-web/: quorvel.js and quorvel.wasm (the
# engine), quorvel-worker.js, the book qvr.bin, the page and the npm package's
# files, and quorvel-bench.js/.wasm. Needs emscripten (emcc); the book comes
# from the native quorvel-book of build/, built here when missing. WEB_OUT and
# NATIVE_BUILD name other folders for the two (scripts/release.sh).
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
cp web/*.js web/*.mjs web/*.html web/*.css web/package.json "$OUT/"
cp web/README.md "$OUT/" 2>/dev/null || true
# The site is every file here that a static host serves: all but the build,
# the bench, the npm package's own files and what the tests leave. The
# release's site tarball holds exactly the files of this list.
(cd "$OUT" && find . -mindepth 1 -maxdepth 1 ! -name cmake ! -name node_modules ! -name 'quorvel-bench.*' \
    ! -name package.json ! -name package-lock.json ! -name README.md ! -name '*.tgz' ! -name '*.d.ts' \
    ! -name 'screenshot*' ! -name site-files.txt -printf '%P\n' | LC_ALL=C sort) >"$OUT/site-files.txt"
echo "build-web.sh: $OUT/ ready ($(wc -c <"$OUT/quorvel.wasm") bytes of wasm)"
