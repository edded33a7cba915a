#!/usr/bin/env bash
# The static analysers over the program's own code: clazy (levels 0 and 1), clang-tidy (the
# checks in .clang-tidy) and cppcheck (scripts/check/cppcheck.supp says what it leaves unsaid)
# over the Linux build, then clang-tidy and cppcheck (with its Windows library) over the MinGW
# cross build, whose compile database alone holds the *_win32 files. Each run prints the files
# it read, every finding and its count; the script ends with "analysers: N passed, M failed"
# (one for each run) and fails on any finding. A run that did not go through, or that read no
# file or not all of them, fails with its reason.
#   analysers.sh [BUILD]   BUILD (build-analyse) for Linux, BUILD-mingw for the cross build
# The cross build needs Qt for MinGW: scripts/qt-mingw.sh gives the cached one, or builds it
# (about 20 minutes); with PELLAVIN_QT_MINGW_BUILD=no an uncached Qt fails the MinGW runs instead.
#
# The program's code is what the build's compile_commands.json compiles, less tests/, bench/,
# fuzz/, tools/ and the build folders (Qt's generated moc and rcc files); headers are checked
# as the program's files include them. A deliberate exception is silenced where it is, with
# its reason: NOLINT(check) for clang-tidy, "clazy:exclude=check" for clazy, and
# "cppcheck-suppress id ; reason" for cppcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-"$root/build-analyse"}")
mingw_build=$build-mingw
"$root/scripts/deps.sh" --analyse
# Two files at a time: CI has two cores.
jobs=$(($(nproc) < 2 ? $(nproc) : 2))

# Writes the program's own entries of BUILD's compile_commands.json to DB/compile_commands.json
# and their files to DB/files: select BUILD DB.
select_ours() {
  mkdir -p "$2"
  python3 - "$root" "$1" "$2" <<'PY'
import json, re, sys
root, build, db = sys.argv[1:]
others = re.compile(r'(build[^/]*|tests|bench|fuzz|tools)/')
ours = [e for e in json.load(open(build + '/compile_commands.json'))
        if e['file'].startswith(root + '/') and not e['file'].startswith(build + '/')
        and not others.match(e['file'][len(root) + 1:]) and e['file'].endswith('.cpp')]
json.dump(ours, open(db + '/compile_commands.json', 'w'), indent=1)
open(db + '/files', 'w').write(''.join(e['file'] + '\n' for e in ours))
PY
  echo "$(wc -l <"$2/files") files of the program's own in $(basename "$1")"
}

# Keeps one line for each finding, "file:line:column: severity: message [check]", once however
# many files include its header, and none in the folders left out. (A path may hold blanks.)
findings() {
  grep -E '^.+:[0-9]+:[0-9]+: (warning|error|fatal error|style|performance|portability|information): ' \
    | grep -vE "^($root/(build[^/]*|tests|bench|fuzz|tools)/|$build/|$mingw_build/)" | sort -u || true
}

# Runs COMMAND... FILE for each file of DB, two at a time, each file's output kept apart, then
# joined in the list's order into OUT; the files it went through (exit status 0) go to OUT.read.
# Returns the first failing exit status: each DB OUT COMMAND...
each() {
  local db=$1 out=$2 i=0 file status=0
  shift 2
  rm -rf "$out.d" && mkdir -p "$out.d"
  while read -r file; do
    i=$((i + 1))
    printf '%s\0%s\0' "$file" "$out.d/$i"
  done <"$db/files" | xargs -0 -n 2 -P "$jobs" bash -c \
    'n=$#; "${@:1:n-2}" "${@:n-1:1}" >"${@:n:1}" 2>&1; echo $? >"${@:n:1}.status"' _ "$@"
  : >"$out" && : >"$out.read"
  i=0
  while read -r file; do
    i=$((i + 1))
    [[ -f $out.d/$i.status ]] || continue
    cat "$out.d/$i" >>"$out"
    if [[ $(cat "$out.d/$i.status") == 0 ]]; then
      echo "$file" >>"$out.read"
    elif ((status == 0)); then
      status=$(cat "$out.d/$i.status")
    fi
  done <"$db/files"
  return "$status"
}

passed=0
failed=0
# Reports one run: NAME DB STATUS OUTPUT. Prints the files read and the findings with their
# count; a run that failed without a finding, or that left a file of DB unread, counts as one.
report() {
  local name=$1 db=$2 status=$3 out=$4 count unread file checks
  findings <"$out" >"$out.found"
  count=$(wc -l <"$out.found")
  sort -u "$out.read" | while read -r file; do echo "$name read ${file#"$root"/}"; done
  unread=$(sort -u "$out.read" | comm -23 <(sort -u "$db/files") - | sed "s|^$root/||")
  if [[ ! -s $out.read ]]; then
    echo "$name read no file (exit status $status):"
    tail -n 20 "$out"
    count=$((count + 1))
  elif [[ -n $unread ]]; then
    echo "$name did not read: ${unread//$'\n'/ }"
    count=$((count + 1))
  elif ((count == 0 && status != 0)); then
    echo "$name did not run through (exit status $status):"
    tail -n 20 "$out"
    count=1
  fi
  cat "$out.found"
  checks=$(grep -oE '\[[^]]+\]$' "$out.found" | sort | uniq -c | sort -rn \
    | awk '{ printf "%s%s %s", sep, $1, substr($2, 2, length($2) - 2); sep = ", " }' || true)
  if ((count > 0)); then
    echo "$name: $count findings${checks:+ ($checks)}"
    failed=$((failed + 1))
  else
    echo "$name: 0 findings"
    passed=$((passed + 1))
  fi
}

# clang-tidy over DB: NAME DB EXTRA-ARGUMENTS...
tidy() {
  local name=$1 db=$2 start=$SECONDS status=0
  shift 2
  each "$db" "$db/clang-tidy.raw" clang-tidy-14 -p "$db" --quiet --header-filter="^$root/" "$@" || status=$?
  # The analyser cannot follow QTimer::singleShot's new slot object into Qt, which owns it.
  grep -vE '/QtCore/qtimer\.h:[0-9]+:[0-9]+: warning: Potential memory leak \[clang-analyzer-cplusplus\.NewDeleteLeaks\]$' \
    "$db/clang-tidy.raw" >"$db/clang-tidy.out" || true
  cp "$db/clang-tidy.raw.read" "$db/clang-tidy.out.read"
  report "$name" "$db" "$status" "$db/clang-tidy.out"
  echo "($name took $((SECONDS - start)) s)"
}

# cppcheck over DB, which names each file it reads ("Checking FILE ..."): NAME DB EXTRA-OPTIONS...
cppcheck_run() {
  local name=$1 db=$2 start=$SECONDS status=0
  shift 2
  # Qt's headers stay unread (qt.cfg describes its macros and classes), which keeps this quick.
  cppcheck --project="$db/compile_commands.json" --library=qt --std=c++20 --enable=style --inline-suppr \
    --suppressions-list="$root/scripts/check/cppcheck.supp" -j "$jobs" "$@" \
    --template='{file}:{line}:{column}: {severity}: {message} [{id}]' >"$db/cppcheck.out" 2>&1 || status=$?
  # ("Checking FILE ..." or "Checking FILE: DEFINES...", where FILE may hold blanks)
  sed -nE 's/^Checking (.+) \.\.\.$/\1/p; s/^Checking (.+\.(cpp|h)): .*/\1/p' "$db/cppcheck.out" | sort -u >"$db/cppcheck.out.read"
  report "$name" "$db" "$status" "$db/cppcheck.out"
  echo "($name took $((SECONDS - start)) s)"
}

echo "-- Linux"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
db=$build/analysed
select_ours "$build" "$db"

start=$SECONDS
status=0
each "$db" "$db/clazy.out" clazy-standalone -p "$db" --checks=level0,level1 || status=$?
report clazy "$db" "$status" "$db/clazy.out"
echo "(clazy took $((SECONDS - start)) s)"
tidy clang-tidy "$db"
cppcheck_run cppcheck "$db"

echo "-- Windows, the MinGW cross build"
mingw_failed() {
  echo "$1"
  echo "clang-tidy (MinGW): did not run"
  echo "cppcheck (MinGW): did not run"
  failed=$((failed + 2))
}
if ! qt=$("$root/scripts/qt-mingw.sh" --where 2>/dev/null) && [[ ${PELLAVIN_QT_MINGW_BUILD:-} == no ]]; then
  mingw_failed "Qt for MinGW is not built ($qt); ./scripts/qt-mingw.sh builds it once for this machine."
elif ! qt=$("$root/scripts/qt-mingw.sh" | tail -n 1); then
  mingw_failed "Qt for MinGW could not be built (scripts/qt-mingw.sh, above)."
elif ! mkdir -p "$mingw_build" ||
  ! cmake -S "$root" -B "$mingw_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DPELLAVIN_QT_MINGW="$qt" -DQT_HOST_PATH=/usr >"$mingw_build/configure.log" 2>&1; then
  tail -n 20 "$mingw_build/configure.log"
  mingw_failed "The MinGW build did not configure (with $qt)."
else
  db=$mingw_build/analysed
  select_ours "$mingw_build" "$db"
  # clang parses as the MinGW compiler does: for its target, with its C++ library (the posix
  # threads one, which Qt needs) and its Windows headers, but clang's own built-in headers.
  # Asked of the compiler, the folders follow its version.
  cxx=x86_64-w64-mingw32-g++-posix
  search=$(echo | "$cxx" -xc++ -E -v - 2>&1 | sed -n '/<\.\.\.> search starts/,/End of search/p' | sed -n 's/^ //p')
  args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdlibinc)
  while read -r dir; do args+=(--extra-arg=-isystem"$(realpath "$dir")"); done < <(grep '/c++' <<<"$search")
  args+=(--extra-arg=-idirafter"$(realpath "$(tail -n 1 <<<"$search")")")
  tidy "clang-tidy (MinGW)" "$db" "${args[@]}"
  cppcheck_run "cppcheck (MinGW)" "$db" --library=windows --platform=win64
fi

echo "analysers: $passed passed, $failed failed"
((failed == 0))
