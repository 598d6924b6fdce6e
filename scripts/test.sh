#!/usr/bin/env bash
# Runs every test of the project against the build in ./build (made by scripts/setup.sh).
#   scripts/test.sh              the normal build
#   scripts/test.sh --sanitize   a build of its own in ./build-asan with AddressSanitizer and
#                                UndefinedBehaviorSanitizer (any report fails the test), then
#                                the whole suite on it
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--sanitize" ]; then
  build=${ASAN_BUILD_DIR:-build-asan}
  # -O1 without debug information: the build is most of this run's time, and the sanitizers'
  # reports name functions and lines from the symbols alone.
  flags="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  cmake --build "$build"
  # Leaks that belong to the system's libraries are listed, one by one, in the suppressions file.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
  exit
fi

cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
