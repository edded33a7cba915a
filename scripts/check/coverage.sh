#!/usr/bin/env bash
# Line and branch coverage of three parts of the program by the Linux test run, as gcovr reports
# it; fails when a part falls below its floor, so that coverage cannot fall unnoticed. Ends with
# "coverage: N passed, M failed" (one for each part). Usage: coverage.sh [BUILD]
#
# BUILD (build-coverage by default) is configured with PELLAVIN_COVERAGE=ON, keeping its other
# settings, built, and its tests run once more; .ci/run passes build-tests, which its first step
# built with coverage counters, so nothing is built again.
set -euo pipefail

# One part a line: name; its files, as a regular expression on the path from the top folder
# (gcovr's --filter); its floors in percent for lines and branches: the figures reached.
parts=(
  "quiz engine;quiz/quiz;99.5;99.4"
  "number reading;(.*/)?number(prefix|text)\.;98.3;91.3"
  "cursor-file reader;cursor/file/(?!cursorwriter);97.5;87.1"
)

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-"$root/build-coverage"}")
# gcovr reads the parts' filters relative to the folder it runs in (ctest starts this elsewhere).
cd "$root"
"$root/scripts/deps.sh" --test
"$root/scripts/deps.sh" --analyse
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DPELLAVIN_COVERAGE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# The random-use test keeps its fixed seed here, so that the figures repeat from run to run.
find "$build" -name '*.gcda' -delete
if ! (cd "$build" && env -u PELLAVIN_RANDOM_SEED QT_QPA_PLATFORM=offscreen \
  ctest -L '^unit$' --no-tests=error -j "$(nproc)" --output-on-failure >"$build/coverage-tests.log" 2>&1); then
  cat "$build/coverage-tests.log"
  echo "coverage: 0 passed, ${#parts[@]} failed (a test failed)"
  exit 1
fi
echo "The tests ran once more: $(grep -cE 'Test +#[0-9]+: .* Passed' "$build/coverage-tests.log") passed"

# Branches that only the compiler made (exceptions, dead code) are left out. One gcov at a time:
# two objects of one folder that include the same header make the same .gcov file there, and
# parallel runs took it from each other (gcovr then stopped on a file not found).
gcovr --root "$root" --object-directory "$build" --exclude-unreachable-branches \
  --exclude-throw-branches --json "$build/coverage.json"
passed=0 failed=0
for part in "${parts[@]}"; do
  IFS=';' read -r name filter lineFloor branchFloor <<<"$part"
  report=$(gcovr --add-tracefile "$build/coverage.json" --root "$root" --filter "$filter" --txt - \
    --print-summary)
  echo "$report" | grep -vE '^(functions|Directory):|^-+$|^GCC Code Coverage'
  lines=$(echo "$report" | sed -nE 's/^lines: ([0-9.]+)%.*/\1/p')
  branches=$(echo "$report" | sed -nE 's/^branches: ([0-9.]+)%.*/\1/p')
  if awk -v l="$lines" -v b="$branches" -v lf="$lineFloor" -v bf="$branchFloor" \
    'BEGIN { exit !(l != "" && l + 0 >= lf + 0 && b + 0 >= bf + 0) }'; then
    echo "$name: lines $lines %, branches $branches % (floors $lineFloor % and $branchFloor %)"
    passed=$((passed + 1))
  else
    echo "$name: lines ${lines:-?} %, branches ${branches:-?} %: below the floors $lineFloor % and $branchFloor %"
    failed=$((failed + 1))
  fi
done
echo "coverage: $passed passed, $failed failed"
((failed == 0))
