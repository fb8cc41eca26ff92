#!/bin/sh
# Builds the browser version into build-web/: quorvel.js and quorvel.wasm (the
# engine), quorvel-worker.js, the book qvr.bin, the page and the npm package's
# files, and quorvel-bench.js/.wasm. Needs emscripten (emcc); the book comes
# from the native quorvel-book of build/, built here when missing.
set -eu

cd "$(dirname "$0")/.."
JOBS="${JOBS:-2}"
OUT=build-web
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

if [ ! -x build/quorvel-book ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j "$JOBS" --target quorvel-book
fi
build/quorvel-book build book/openings.txt -o "$OUT/qvr.bin" >/dev/null

cp "$OUT/cmake/quorvel.js" "$OUT/cmake/quorvel.wasm" "$OUT/cmake/quorvel-bench.js" "$OUT/cmake/quorvel-bench.wasm" "$OUT/"
cp web/*.js web/*.mjs web/*.html web/*.css web/package.json "$OUT/"
cp web/README.md "$OUT/" 2>/dev/null || true
echo "build-web.sh: $OUT/ ready ($(wc -c <"$OUT/quorvel.wasm") bytes of wasm)"
