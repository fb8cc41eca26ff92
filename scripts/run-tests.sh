#!/bin/sh
# Builds Quorvel and runs every test twice: a Release build in build/, then a
# build with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/;
# then the browser, soak, fuzz, Windows and install stages. Fails when any fails.
set -eu

cd "$(dirname "$0")/.."
JOBS="${JOBS:-2}"
START=$(date +%s)

# Names a stage with the seconds since the start, so that a slow one shows.
say() { echo "== $* ($(( $(date +%s) - START )) s)"; }

run_suite() {
    dir="$1"
    shift
    say "$dir: configure and build"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
    say "$dir: tests"
    (cd "$dir" && ctest -j "$JOBS" --output-on-failure)
}

# Third stage, when mingw-w64 and Wine are installed: the Windows programs,
# cross-built in build-win/, must count the same perft trees as the Linux tool,
# and quorvel.exe, quorvel-uci.exe and quorvel-xboard.exe under Wine must pass
# the pipe-driven tests of the Release build (every suite of test_play,
# test_uci and test_xboard, the PipeTest suite of test_ucci).
run_windows() {
    if ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 || ! command -v wine >/dev/null 2>&1; then
        say "build-win: skipped (x86_64-w64-mingw32-g++ or wine not installed)"
        return 0
    fi
    say "build-win: configure and build"
    cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_TESTS=OFF >/dev/null
    cmake --build build-win -j "$JOBS"

    # A prefix of our own under the build folder, no display, no Wine chatter.
    WINEPREFIX="$PWD/build-win/wineprefix"
    WINEDEBUG=-all
    DISPLAY=
    export WINEPREFIX WINEDEBUG DISPLAY
    say "build-win: preparing the Wine prefix"
    wineboot -i >/dev/null 2>&1 || true
    # One server up for the whole stage: a server that exits between two
    # programs can drop the next one's connection. It is stopped when the
    # script ends, however it ends.
    keep_wine_server
    trap 'wineserver -k 2>/dev/null || true' EXIT

    say "build-win: perft against the Linux tool"
    for depth in 1 2 3; do
        linux=$(build/quorvel-perft "$depth" | grep '^nodes' || true)
        windows=$(wine build-win/quorvel-perft.exe "$depth" | tr -d '\r' | grep '^nodes' || true)
        echo "depth $depth: $linux / $windows"
        if [ "$linux" != "$windows" ]; then
            echo "perft $depth differs under Wine"
            return 1
        fi
    done

    # Batch mode keeps every command for the idle loop, so the replies depend
    # on the commands alone; only the time and nps figures may differ.
    say "build-win: one conversation, Linux and Wine"
    cat >build-win/conversation.txt <<'EOF'
ucci
setoption batch on
setoption usebook false
setoption hashsize 32
isready
position startpos moves h2e2 h9g7
go depth 7
position fen r1bakab2/9/1cn3n1c/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b - - 0 1 moves a6a5
go nodes 30000
banmoves h0g2 b0c2
go depth 5
setoption newgame
position startpos
go depth 1
stop
isready
quit
EOF
    build/quorvel <build-win/conversation.txt | sed -E 's/ (time|nps) [0-9]+//g' >build-win/conversation-linux.txt
    wine build-win/quorvel.exe <build-win/conversation.txt | sed -E 's/ (time|nps) [0-9]+//g' >build-win/conversation-wine.txt
    diff -u build-win/conversation-linux.txt build-win/conversation-wine.txt
    echo "$(wc -l <build-win/conversation-wine.txt) lines alike"

    say "build-win: pipe tests under Wine"
    QUORVEL_ENGINE="wine $PWD/build-win/quorvel.exe"
    QUORVEL_UCI_ENGINE="wine $PWD/build-win/quorvel-uci.exe"
    QUORVEL_XBOARD_ENGINE="wine $PWD/build-win/quorvel-xboard.exe"
    export QUORVEL_ENGINE QUORVEL_UCI_ENGINE QUORVEL_XBOARD_ENGINE
    under_wine build/tests/test_ucci --gtest_filter='PipeTest.*' --gtest_brief=1
    under_wine build/tests/test_play --gtest_brief=1
    under_wine build/tests/test_uci --gtest_brief=1
    under_wine build/tests/test_xboard --gtest_brief=1
    unset QUORVEL_ENGINE QUORVEL_UCI_ENGINE QUORVEL_XBOARD_ENGINE
}

# Runs a pipe-test program against quorvel.exe. When Wine itself reports a
# failure (its client lost the server), the server is restarted and the program
# runs once more; an engine fault fails both runs and any other failure fails
# at once.
under_wine() {
    log=build-win/under-wine.log
    if "$@" >"$log" 2>&1; then
        cat "$log"
        return 0
    fi
    cat "$log"
    if ! grep -q -e 'wine client error' -e '^wineserver:' -e '^wine: ' "$log"; then
        return 1
    fi
    say "build-win: Wine itself failed; restarting its server and running once more"
    wineserver -k 2>/dev/null || true
    keep_wine_server
    "$@"
}

# Waits (boundedly) for the running server and its prefix to settle and exit,
# then starts one that stays up until it is killed.
keep_wine_server() {
    timeout 60 wineserver -w || true
    wineserver -p
}

# The browser build, when emscripten, Chromium, Node and npm are installed:
# built into build-web/, then its tests in Node (the worker's conversation,
# the npm package) and in headless Chromium (the page as a person uses it).
run_web() {
    for tool in emcc chromium node npm; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            say "build-web: skipped ($tool not installed)"
            return 0
        fi
    done
    say "build-web: build"
    scripts/build-web.sh
    say "build-web: tests"
    (cd web && npm ci --no-audit --no-fund >/dev/null)
    # One file at a time (the Node test times the answer to stop),
    # in any Node from 18 on.
    for file in tests/web/*.test.mjs; do
        node --no-experimental-fetch --test "$file"
    done
}

# The release as a user installs it, when its tools are installed: the builds
# above packed by scripts/release.sh --reuse into dist/, then every package
# unpacked in a scratch folder and tried from there (tests/install/).
run_install() {
    for tool in cpack dpkg-deb dpkg-shlibdeps lintian man help2man wine emcc npm python3; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            say "install: skipped ($tool not installed)"
            return 0
        fi
    done
    if [ ! -f build-win/quorvel.exe ] || [ ! -f build-web/quorvel.wasm ]; then
        say "install: skipped (no Windows or browser build)"
        return 0
    fi
    say "install: packing the builds into dist/"
    scripts/release.sh --reuse
    say "install: the packages, unpacked and run"
    WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all DISPLAY= python3 tests/install/check_release.py dist
}

# The protocol soak of every program, in the sanitized build.
run_soak() {
    if ! command -v python3 >/dev/null 2>&1; then
        say "soak: skipped (python3 not installed)"
        return 0
    fi
    for program in quorvel quorvel-uci quorvel-xboard; do
        [ -x "build-sanitize/$program" ] || continue
        say "soak: $program for ${SOAK_SECONDS:-30} s"
        scripts/soak.sh "build-sanitize/$program" "${SOAK_SECONDS:-30}"
    done
}

# The fuzz targets, briefly, when clang and libFuzzer are installed.
run_fuzz() {
    if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
        say "fuzz: skipped (clang or libFuzzer not installed)"
        return 0
    fi
    say "fuzz: every target for ${FUZZ_SECONDS:-20} s"
    scripts/fuzz.sh all "${FUZZ_SECONDS:-20}"
}

run_suite build
run_web
# LeakSanitizer needs ptrace, which many CI containers forbid; this run is for
# memory errors and undefined behaviour.
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
    run_suite build-sanitize -DQUORVEL_SANITIZE=ON
run_soak
run_fuzz
run_windows
run_install
say "all tests passed"
