#!/usr/bin/env bash
# Qt for MinGW, ready for the Windows check: at once when it is cached, else built now if the
# CI run has time left for it (about 20 minutes on two idle cores, 45 on busy ones: 50 are
# asked for, keeping 15 for the Windows check and the steps after it). CTest's setup of the
# fixture qt_mingw, which the Windows check requires.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
where=$("$root/scripts/qt-mingw.sh" --where 2>&1) && { echo "Qt for MinGW is built: $where"; exit 0; }
echo "Qt for MinGW is not ready ($where): building it"
status=0
"$root/scripts/check/ci-budget.sh" --after 15 --need 50 -- "$root/scripts/qt-mingw.sh" || status=$?
[[ $status -eq 3 ]] && echo "Building Qt for MinGW would not fit: run ./scripts/qt-mingw.sh once on this machine."
exit "$status"
