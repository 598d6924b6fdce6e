#!/usr/bin/env bash
# Checks that the tests catch faults. Each patch in scripts/breaks/ breaks the code in one small
# place, as a developer might. In a scratch copy of the committed tree (HEAD) the script builds and
# runs the whole suite once unbroken, then for each patch: applies it, builds, runs the whole suite,
# records the tests that fail (those that failed unbroken do not count) and takes the patch back.
# At the end it prints which tests caught each break, and exits non-zero when a break was caught by
# no test, does not apply any more or does not build.
#   scripts/breaks.sh             every patch of scripts/breaks/
#   scripts/breaks.sh PATCH...    those patches
# BREAKS_DIR: where the scratch copy goes (default $TMPDIR or /tmp).
# BREAKS_TIMEOUT: seconds a single test may take (default 180).
# BREAKS_TREE: an existing checkout to use, with its build folder, instead of a fresh worktree of
#   HEAD; it is left in place afterwards, so that the next run builds only what changed.
# BREAKS_FIRST=1: stop each run at its first failing test, running the quickest tests first:
#   whether each break is caught, in far less time, naming only the first tests that caught it.
# BREAKS_TESTS: a ctest -R pattern; only the tests it names are run, unbroken and broken.
set -euo pipefail
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
[ $# -gt 0 ] || set -- "$top"/scripts/breaks/*.patch
patches=()
for p in "$@"; do patches+=("$(realpath "$p")"); done
timeout=${BREAKS_TIMEOUT:-180}

scratch=$(mktemp -d "${BREAKS_DIR:-${TMPDIR:-/tmp}}/breaks.XXXXXX")
tree=${BREAKS_TREE:-$scratch/tree}
build=$tree/build
applied=""  # the patch in the tree at the moment, taken back however the script ends
cleanup() {
  [ -z "$applied" ] || git -C "$tree" apply -R "$applied" || true
  [ -n "${BREAKS_TREE:-}" ] || git -C "$top" worktree remove --force "$tree" >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
[ -n "${BREAKS_TREE:-}" ] || git -C "$top" worktree add --detach --quiet "$tree" HEAD
# The compiler cache takes the scratch tree's paths relative to it, so it reuses the objects of a
# build of the same sources elsewhere.
export CCACHE_BASEDIR=$tree

# The names of the tests that failed in the last run, one a line. Extra ctest arguments follow
# the log file's name.
run_suite() {
  local log=$1
  shift
  rm -f "$build/Testing/Temporary/LastTestsFailed.log"
  ctest --test-dir "$build" -j2 --timeout "$timeout" ${BREAKS_TESTS:+-R "$BREAKS_TESTS"} "$@" \
    >"$log" 2>&1 || true
  [ -f "$build/Testing/Temporary/LastTestsFailed.log" ] &&
    cut -d: -f2- "$build/Testing/Temporary/LastTestsFailed.log" | sort
  return 0
}

cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$scratch/cmake.log" 2>&1
if ! cmake --build "$build" >"$scratch/build.log" 2>&1; then
  tail -n 30 "$scratch/build.log"
  echo "breaks: the unbroken tree does not build" >&2
  exit 1
fi
echo "breaks: the unbroken suite" >&2
run_suite "$scratch/unbroken.log" >"$scratch/unbroken.txt"
if [ -s "$scratch/unbroken.txt" ]; then
  echo "breaks: these tests fail without a break and are not counted:" >&2
  sed 's/^/  /' "$scratch/unbroken.txt" >&2
fi

# In the quick mode the tests that fail unbroken are left out, or they would stop every run, and
# ctest is given the unbroken run's times inverted, so that it starts with the quickest tests.
first=()
costs=$build/Testing/Temporary/CTestCostData.txt
if [ "${BREAKS_FIRST:-0}" = 1 ]; then
  awk '/^---/ { exit }
       match($0, / [^ ]+$/) { printf "%s %.6f\n", substr($0, 1, RSTART - 1), 1 / (substr($0, RSTART + 1) + 0.001) }
       END { print "---" }' "$costs" >"$scratch/quickest-first.txt"
  first=(--stop-on-failure)
  if [ -s "$scratch/unbroken.txt" ]; then
    first+=(-E "^($(sed 's/[][\\.*^$()+?{}|]/\\&/g' "$scratch/unbroken.txt" | paste -sd'|'))\$")
  fi
fi

table=()
missed=0
for p in "${patches[@]}"; do
  name=$(basename "$p" .patch)
  echo "breaks: $name" >&2
  if ! git -C "$tree" apply --check "$p" 2>/dev/null; then
    table+=("$name|DOES NOT APPLY")
    missed=1
    continue
  fi
  git -C "$tree" apply "$p"
  applied=$p
  if cmake --build "$build" >"$scratch/$name.build.log" 2>&1; then
    [ ${#first[@]} -eq 0 ] || cp "$scratch/quickest-first.txt" "$costs"
    caught=$(run_suite "$scratch/$name.log" "${first[@]}" | comm -23 - "$scratch/unbroken.txt" |
      paste -sd' ')
  else
    caught="DOES NOT BUILD"
  fi
  git -C "$tree" apply -R "$p"
  applied=""
  if [ -z "$caught" ] || [ "$caught" = "DOES NOT BUILD" ]; then
    missed=1
    caught=${caught:-CAUGHT BY NO TEST}
  fi
  table+=("$name|$caught")
done

printf '%-34s %s\n' "break" "caught by"
for row in "${table[@]}"; do printf '%-34s %s\n' "${row%%|*}" "${row#*|}"; done
exit "$missed"
