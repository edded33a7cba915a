#!/usr/bin/env bash
# The static analysers over the program's own code: clazy (levels 0 and 1), clang-tidy (the
# checks in .clang-tidy) and cppcheck (scripts/check/cppcheck.supp says what it leaves unsaid).
# Prints every finding and each analyser's count, ends with "analysers: N passed, M failed"
# (one for each analyser) and fails on any finding. Usage: analysers.sh [BUILD]
#
# The program's code is what the build's compile_commands.json compiles, less tests/, bench/,
# fuzz/, tools/ and the build folders (Qt's generated moc and rcc files); headers are checked
# as the program's files include them. A deliberate exception is silenced where it is, with
# its reason: NOLINT(check) for clang-tidy, "clazy:exclude=check" for clazy, and
# "cppcheck-suppress id ; reason" for cppcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-"$root/build-analyse"}")
"$root/scripts/deps.sh" --analyse
# Two files at a time: CI has two cores.
jobs=$(($(nproc) < 2 ? $(nproc) : 2))

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
db="$build/analysed"
mkdir -p "$db"
python3 - "$root" "$build" "$db" <<'PY'
import json, re, sys
root, build, db = sys.argv[1:]
others = re.compile(r'(build[^/]*|tests|bench|fuzz|tools)/')
ours = [e for e in json.load(open(build + '/compile_commands.json'))
        if e['file'].startswith(root + '/') and not e['file'].startswith(build + '/')
        and not others.match(e['file'][len(root) + 1:])]
json.dump(ours, open(db + '/compile_commands.json', 'w'), indent=1)
open(db + '/files', 'w').write(''.join(e['file'] + '\n' for e in ours))
PY
echo "$(wc -l <"$db/files") files of the program's own"

# Keeps one line for each finding, "file:line:column: severity: message [check]", once however
# many files include its header, and none in the folders left out.
findings() {
  grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error|fatal error|style|performance|portability|information): ' \
    | grep -vE "^($root/(build[^/]*|tests|bench|fuzz|tools)/|$build/)" | sort -u || true
}

failed=0
# Runs one analyser: ANALYSER OUTPUT; prints its findings and count, counting a tool that
# failed to run as a finding.
report() {
  local name=$1 status=$2 out=$3 count
  findings <"$out" >"$out.found"
  count=$(wc -l <"$out.found")
  if ((count == 0 && status != 0)); then
    echo "$name did not run through (exit status $status):"
    tail -n 20 "$out"
    count=1
  fi
  cat "$out.found"
  if ((count > 0)); then
    echo "$name: $count findings ($(grep -oE '\[[^]]+\]$' "$out.found" | sort | uniq -c | sort -rn \
      | awk '{ printf "%s%s %s", sep, $1, substr($2, 2, length($2) - 2); sep = ", " }'))"
    failed=$((failed + 1))
  else
    echo "$name: 0 findings"
  fi
}

start=$SECONDS
status=0
xargs -P "$jobs" -n 1 clazy-standalone -p "$db" --checks=level0,level1 <"$db/files" >"$db/clazy.out" 2>&1 \
  || status=$?
report clazy "$status" "$db/clazy.out"
echo "(clazy took $((SECONDS - start)) s)"

start=$SECONDS
status=0
# The analyser cannot follow QTimer::singleShot's new slot object into Qt, which owns it.
xargs -P "$jobs" -n 1 clang-tidy-14 -p "$db" --quiet --header-filter="^$root/" <"$db/files" 2>&1 \
  | grep -vE '/QtCore/qtimer\.h:[0-9]+:[0-9]+: warning: Potential memory leak \[clang-analyzer-cplusplus\.NewDeleteLeaks\]$' \
  >"$db/clang-tidy.out" || status=${PIPESTATUS[0]}
report clang-tidy "$status" "$db/clang-tidy.out"
echo "(clang-tidy took $((SECONDS - start)) s)"

start=$SECONDS
status=0
# Qt's headers stay unread (qt.cfg describes its macros and classes), which keeps this quick.
cppcheck --project="$db/compile_commands.json" --library=qt --std=c++20 --enable=style --inline-suppr \
  --suppressions-list="$root/scripts/check/cppcheck.supp" -j "$jobs" --quiet \
  --template='{file}:{line}:{column}: {severity}: {message} [{id}]' >"$db/cppcheck.out" 2>&1 || status=$?
report cppcheck "$status" "$db/cppcheck.out"
echo "(cppcheck took $((SECONDS - start)) s)"

echo "analysers: $((3 - failed)) passed, $failed failed"
((failed == 0))
