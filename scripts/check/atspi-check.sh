#!/usr/bin/env bash
# The accessible tree a screen reader receives over AT-SPI (scripts/look/atspi-tree.sh), checked
# for what it must hold: the answer box labelled by "Your Answer:" with the question as its
# description, the questions to go, a checked level in the menu, and the wrong answer's box
# announced as an alert. Ends with "atspi: N passed, M failed".
#   ./scripts/check/atspi-check.sh [build folder]   (PELLAVIN_BUILD_DIR, else build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
PELLAVIN_BUILD_DIR=$(realpath -m "${1:-${PELLAVIN_BUILD_DIR:-$root/build}}")
export PELLAVIN_BUILD_DIR

tree=$(mktemp)
trap 'rm -f "$tree"' EXIT
status=0
timeout 300 "$root/scripts/look/atspi-tree.sh" | tee "$tree" || status=$?
[[ $status -eq 0 ]] || echo "atspi-tree.sh ended with $status"

passed=0 failed=0
for expected in "\[text\] 'Your Answer:' description='20 questions, [0-9]+ (plus|minus) [0-9]+ = \?'" \
                "labelled-by=\['Your Answer:'\]" "\[panel\] 'Status' description='Number of questions to go: 19'" \
                "\[menu item\] 'Beginner\(\+,-\)' \(checked\)" "\[alert\] 'Pellavin'"; do
  if grep -Eq "$expected" "$tree"; then
    passed=$((passed + 1))
  else
    echo "the accessible tree lacks: $expected"
    failed=$((failed + 1))
  fi
done
echo "atspi: $passed passed, $failed failed"
[[ $status -eq 0 && $failed -eq 0 ]]
