#!/usr/bin/env bash
# The source that the Windows packages' written offer promises, in one archive to publish beside
# a release: every Debian source package that the zip's bill of materials names as the origin of
# a shipped file (Qt for MinGW's qt6-base, the MinGW runtime's gcc-mingw-w64 with the gcc it is
# built from, mingw-w64, and Qt's translations where they ship), at exactly those versions, with
# the scripts that built Qt for MinGW and the packages.
#   ./scripts/windows-sources.sh BUILD [OUT]   BUILD holds pellavin-<version>-win64.zip.cdx.json
#                                              (cpack); writes OUT (default: BUILD) /
#                                              pellavin-<version>-windows-sources.tar
#   ./scripts/windows-sources.sh --list BUILD  only names the source packages
# apt-get source needs a deb-src entry, which scripts/qt-mingw.sh adds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=""
[[ ${1:-} == --list ]] && { list=1; shift; }
build=$(realpath "${1:?usage: windows-sources.sh [--list] BUILD [OUT]}")
out=$(realpath -m "${2:-$build}")
sbom=$(ls "$build"/pellavin-*-win64.zip.cdx.json 2>/dev/null | head -n 1)
[[ -n $sbom ]] || { echo "No bill of materials in $build: run cpack there first" >&2; exit 1; }

# Each pkg:deb/debian/NAME@VERSION?arch=source in it, as NAME=VERSION.
read -r version sources < <(python3 - "$sbom" <<'EOF'
import json, re, sys, urllib.parse
bom = json.load(open(sys.argv[1]))
found = set(re.findall(r'"pkg:deb/debian/([^@"]+)@([^?"]+)\?arch=source', json.dumps(bom)))
print(bom["metadata"]["component"]["version"], " ".join(sorted(f"{n}={urllib.parse.unquote(v)}" for n, v in found)))
EOF
)
[[ -n $sources ]] || { echo "$sbom names no Debian source package" >&2; exit 1; }
if [[ -n $list ]]; then
  printf '%s\n' $sources
  exit 0
fi

name=pellavin-$version-windows-sources
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/$name/debian-sources" "$tmp/$name/pellavin" "$out"
failed=""
for source in $sources; do
  echo "-- $source" >&2
  if ! (cd "$tmp/$name/debian-sources" && apt-get source --download-only "$source" >"$tmp/apt.log" 2>&1); then
    grep '^E:' "$tmp/apt.log" >&2 || cat "$tmp/apt.log" >&2
    failed+=" $source"
  fi
done
# An archive without one of them would not be the source that the offer promises.
[[ -z $failed ]] || { echo "apt-get source could not fetch:$failed (a deb-src entry? that version still in the archive?)" >&2; exit 1; }
git -C "$root" archive HEAD scripts/qt-mingw.sh scripts/qt-notices.py cmake/mingw-w64-x86_64.cmake packaging/windows |
  tar -x -C "$tmp/$name/pellavin"
{
  echo "The source of what pellavin-$version-win64 (zip, installer and MSI) ships that is not Varnholt Corp's own."
  echo "debian-sources/: Debian's source packages, unpacked with dpkg-source -x FILE.dsc:"
  printf '  %s\n' $sources
  echo "pellavin/scripts/qt-mingw.sh built Qt for MinGW from qt6-base, with the cve-* patches of its debian/patches;"
  echo "pellavin/packaging/windows/ made the packages."
} >"$tmp/$name/README.txt"
when=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
tar --sort=name --mtime="@$when" --owner=0 --group=0 --numeric-owner -C "$tmp" -cf "$out/$name.tar" "$name"
echo "$out/$name.tar: $(du -h "$out/$name.tar" | cut -f1)"
