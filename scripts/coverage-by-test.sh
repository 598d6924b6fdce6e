#!/usr/bin/env bash
# Which lines of src/, app/ and tools/ each test runs, and which lines only it runs: a guide for
# finding tests that repeat others on the same path. Builds the committed tree with --coverage in a
# scratch worktree, runs every ctest test alone (child processes of trv00381 and kvor included,
# except those ended by SIGKILL, which write nothing) and reads gcov after each.
#   scripts/coverage-by-test.sh [OUT]      OUT defaults to ./coverage-by-test
# COVERAGE_TESTS: a ctest -R pattern; only the tests it names are run (and compared).
# OUT/report.txt: per test, the lines only it runs, the lines it runs, and the other test that
#   shares most of them. OUT/unique-lines.txt: those lines. OUT/raw/N.txt: test N's lines
#   (OUT/index.txt numbers the tests).
set -euo pipefail
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
out=$(realpath -m "${1:-coverage-by-test}")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/coverage.XXXXXX")
tree=$scratch/tree
build=$tree/build
cleanup() {
  git -C "$top" worktree remove --force "$tree" >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# The compiler cache takes the scratch tree's paths relative to it, so it reuses the objects of an
# earlier coverage build elsewhere.
export CCACHE_BASEDIR=$tree
git -C "$top" worktree add --detach --quiet "$tree" HEAD
rm -rf "$out" && mkdir -p "$out/raw"

echo "coverage: building $tree with --coverage" >&2
cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$scratch/cmake.log"
cmake --build "$build" >"$scratch/build.log"

# ctest -N shows parameterised tests with gtest's "  # GetParam() = ..." after the name.
ctest --test-dir "$build" -N ${COVERAGE_TESTS:+-R "$COVERAGE_TESTS"} | sed -n 's/^ *Test *#[0-9]*: //p' | sed 's/  # GetParam() = .*$//' \
  >"$scratch/tests.txt"
n=0
while read -r name; do
  n=$((n + 1))
  echo "coverage: $n $name" >&2
  find "$build" -name '*.gcda' -delete
  pattern=$(printf '%s' "$name" | sed 's/[][\\.*^$()+?{}|]/\\&/g')
  ctest --test-dir "$build" -R "^$pattern( |\$)" --timeout 300 >/dev/null 2>&1 || true
  mkdir "$scratch/gcov"
  (cd "$scratch/gcov" && find "$build" -name '*.gcda' -print0 | xargs -0 -r gcov -j -p >/dev/null 2>&1)
  python3 - "$scratch/gcov" "$tree" >"$out/raw/$n.txt" <<'PY'
import gzip, json, os, sys
folder, tree = sys.argv[1], sys.argv[2] + '/'
lines = set()
for name in os.listdir(folder):
    if not name.endswith('.gcov.json.gz'):
        continue
    doc = json.load(gzip.open(os.path.join(folder, name)))
    for f in doc['files']:
        path = os.path.normpath(os.path.join(doc.get('current_working_directory', ''), f['file']))
        rel = path[len(tree):] if path.startswith(tree) else path
        if rel.startswith(('src/', 'app/', 'tools/')):
            lines.update(f"{rel}:{l['line_number']}" for l in f['lines'] if l['count'] > 0)
print('\n'.join(sorted(lines)))
PY
  rm -rf "$scratch/gcov"
  printf '%s\t%s\n' "$n" "$name" >>"$out/index.txt"
done <"$scratch/tests.txt"

python3 - "$out" <<'PY'
import collections, sys
out = sys.argv[1]
runs = {}
for row in open(out + '/index.txt'):
    n, name = row.rstrip('\n').split('\t')
    runs[name] = set(open(f'{out}/raw/{n}.txt').read().split())
count = collections.Counter(line for lines in runs.values() for line in lines)
rows = []
for name, lines in runs.items():
    only = sorted(l for l in lines if count[l] == 1)
    other, shared = max(((o, len(lines & t)) for o, t in runs.items() if o != name),
                        key=lambda p: p[1], default=(None, 0))
    rows.append((len(only), len(lines), name, other, shared, only))
rows.sort()
with open(out + '/report.txt', 'w') as f:
    f.write('only\truns\ttest\tthe other test sharing most of its lines (share)\n')
    for only, runs_, name, other, shared, _ in rows:
        f.write(f'{only}\t{runs_}\t{name}\t{other} ({100 * shared // max(runs_, 1)}%)\n')
with open(out + '/unique-lines.txt', 'w') as f:
    for only, _, name, _, _, lines in rows:
        f.write(f'== {name}: {only} lines no other test runs\n' + ''.join(f'  {l}\n' for l in lines))
PY
echo "coverage: $out/report.txt" >&2
