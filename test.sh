#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, the sanitizer
# build of the tests without windows, and short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
jobs="$(nproc)"

# libmpv must start under a non-C locale; a fresh Debian has none, so make one.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

# Line tables only (-g1): enough for every backtrace and sanitizer report, and a quarter less
# compile time than full debug information, which keeps the whole run within its 20 minutes.
lines_only="-g1"
# Most of a compile here is parsing the same Qt headers; batching each target's sources into
# a few translation units parses them once per batch and roughly halves the build.
unity="-DCMAKE_UNITY_BUILD=ON"

echo "== build"
# Tests on, whatever an earlier ./run.sh left in the cache. The tests without windows are
# built and run once, in the sanitizer build below; this build makes the programs and the
# window tests.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMBA_TESTS=ON "$unity" \
    -DLUMBA_NOGUI_TESTS_IN_ALL=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" \
    >/dev/null
cmake --build build --parallel "$jobs"
echo "== tests with windows"
(cd build && ctest --output-on-failure --parallel "$jobs" -L '^gui$' --timeout 300 --no-tests=error)

echo "== sanitizer build (tests without windows)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DLUMBA_SANITIZE=ON -DLUMBA_TESTS=ON "$unity" \
    -DCMAKE_CXX_FLAGS_DEBUG="$lines_only" >/dev/null
cmake --build build-asan --parallel "$jobs" --target nogui_tests
(cd build-asan && ctest --output-on-failure --parallel "$jobs" -L nogui --timeout 600 --no-tests=error)

echo "== fuzz"
# A crash report names functions only with the symbolizer on the PATH.
export PATH="/usr/lib/llvm-14/bin:$PATH"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMBA_FUZZ=ON -DLUMBA_TESTS=OFF \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz --parallel "$jobs" --target fuzz_all
# libFuzzer is chatty: keep its log, show each fuzzer's closing figures.
# The fuzzers run side by side, one a processor.
if ! cmake --build build-fuzz --target fuzz_run --parallel "$jobs" > build-fuzz/fuzz.log 2>&1; then
    tail -n 60 build-fuzz/fuzz.log
    echo "fuzzing found a fault; inputs are in build-fuzz/fuzz-artifacts/"
    exit 1
fi
grep -E 'Fuzzing|Done [0-9]+ runs' build-fuzz/fuzz.log || true
