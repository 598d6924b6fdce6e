#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a bounded time.
#   bench/fuzz.sh [SECONDS [TARGET...]]   default 60 seconds each, every target
# Environment: FUZZ_BUILD_DIR (default ./build-fuzz), FUZZ_PARALLEL (targets at once, default 1).
# New interesting inputs are merged into fuzz/corpus/<target>/ (minimised with -merge=1, so the
# kept corpus only grows by inputs that reach new code); a crashing input is saved as
# fuzz/crashes/<target>-crash-*. The logs stay in the build folder, fuzz-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-build-fuzz}
parallel=${FUZZ_PARALLEL:-1}
all=(diskunit linkarea settings_value language skrivare actions reg_import record_transfer
  register_file)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKVOR_FUZZ=ON
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

logs="$build/fuzz-logs"
mkdir -p "$logs" fuzz/crashes
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"  # leaks: the sanitizer run of the suite
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_one() {
  local t=$1 fresh
  fresh=$(mktemp -d)
  mkdir -p "fuzz/corpus/$t"
  local rc=0
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="fuzz/crashes/$t-" "$fresh" "fuzz/corpus/$t" \
    >"$logs/$t.log" 2>&1 || rc=$?
  # Keep only what adds coverage: the kept corpus first, then the new inputs.
  local merged
  merged=$(mktemp -d)
  "$build/fuzz/fuzz_$t" -merge=1 -timeout=20 -rss_limit_mb=2048 "$merged" "fuzz/corpus/$t" \
    "$fresh" >"$logs/$t.merge.log" 2>&1
  rm -rf "fuzz/corpus/$t" "$fresh"
  mv "$merged" "fuzz/corpus/$t"
  chmod 755 "fuzz/corpus/$t"
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$logs/$t.log" | grep -o '[0-9]*$' ||
    echo "?")
  printf '%-16s %4s s  runs %-10s corpus %4s files  %s\n' "$t" "$seconds" "$runs" \
    "$(ls "fuzz/corpus/$t" | wc -l)" "$([ $rc -eq 0 ] && echo "no finding" ||
      echo "FINDING (exit $rc): $logs/$t.log")"
  return $rc
}
export -f run_one
export build seconds logs

printf '%s\n' "${targets[@]}" | xargs -P "$parallel" -I{} bash -c 'run_one {}'
