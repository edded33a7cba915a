#!/usr/bin/env bash
# Runs the window tests again on a real X server with a window manager, where activation,
# focus and other programs' windows behave as on a desktop: ./scripts/check/xvfb-tests.sh [build folder]
# (the folder that ./scripts/test.sh built; build-tests by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build-tests}")
"$root/scripts/deps.sh" --screens

. "$root/scripts/lib.sh"
trap screen_stop EXIT
screen_start

passed=0 failed=0
for test in tst_startup tst_frmmath tst_auxwindows; do
  if QT_QPA_PLATFORM=xcb timeout 300 dbus-run-session -- "$build/tests/$test" -silent; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "xtests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
