#!/usr/bin/env bash
# Builds Pellavin and starts it from its build folder, where "Cursors\..." resolves.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target pellavin pellavin_cursor_files
cd "$build"
exec ./pellavin "$@"
