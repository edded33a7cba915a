# Sourced by the checks that make packages, which they build twice to show that the same commit
# gives the same bytes.
#   source_date_epoch BUILD  exports SOURCE_DATE_EPOCH, the last commit's time, which Qt's rcc
#     writes into the program as its resources' time, MinGW's linker into a DLL's export table,
#     and CPack, wixl and the packaging scripts give every packed file; a BUILD made at another
#     commit is cleaned first, since an unchanged target would keep the earlier time.
#   same_package FIRST SECOND  says whether two packages are the same file; where they are not,
#     what diffoscope shows (the whole report beside SECOND, as SECOND.diffoscope.txt).

source_date_epoch() {
  local build=$1 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}
  if [[ -f $build/build.ninja && $(cat "$build/source-date-epoch" 2>/dev/null) != "$SOURCE_DATE_EPOCH" ]]; then
    cmake --build "$build" --target clean >/dev/null
  fi
  mkdir -p "$build"
  echo "$SOURCE_DATE_EPOCH" >"$build/source-date-epoch"
}

same_package() {
  local first=$1 second=$2 name report
  name=$(basename "$first")
  if cmp -s "$first" "$second"; then
    echo "reproducible: $name, built twice, is the same $(stat -c %s "$first") bytes (sha256 $(sha256sum <"$first" | cut -c1-16)...)"
    return 0
  fi
  report=$second.diffoscope.txt
  diffoscope --text "$report" --max-report-size 2000000 "$first" "$second" >/dev/null 2>&1 || true
  echo "NOT reproducible: $name differs in $(cmp -l "$first" "$second" 2>/dev/null | wc -l) bytes; diffoscope ($report):"
  grep -E '^(│ )*(├──|---|\+\+\+)' "$report" | head -20 | sed 's/^/   /'
  return 1
}
