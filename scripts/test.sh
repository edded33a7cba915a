#!/usr/bin/env bash
# Builds Pellavin and runs every test without a display.
# PELLAVIN_WERROR=ON treats warnings as errors; PELLAVIN_SANITIZE=ON builds with ASan and UBSan;
# PELLAVIN_TOOLS=ON builds the developer tools too; PELLAVIN_COVERAGE=ON with coverage counters
# (scripts/check/coverage.sh reports them). Runs the tests labelled unit only, even in a build
# folder that registers the checks too; further arguments go to ctest (-R tst_quizengine,
# --output-junit FILE).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --test
werror=${PELLAVIN_WERROR:-OFF}
sanitize=${PELLAVIN_SANITIZE:-OFF}
tools=${PELLAVIN_TOOLS:-OFF}
coverage=${PELLAVIN_COVERAGE:-OFF}
build=${PELLAVIN_BUILD_DIR:-"$root/build-tests"}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
  -DPELLAVIN_WERROR="$werror" -DPELLAVIN_SANITIZE="$sanitize" -DPELLAVIN_TOOLS="$tools" \
  -DPELLAVIN_COVERAGE="$coverage" >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest -L '^unit$' --no-tests=error --output-on-failure -j "$(nproc)" "$@"
