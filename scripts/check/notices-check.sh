#!/usr/bin/env bash
# What the Windows packages in BUILD say of the files that are not ours:
#  - every file of each package (the zip's content; the MSI's, as msiextract unpacks it from
#    its File table and cabinet; the installer's staged tree) has its entry in that package's
#    THIRD-PARTY-NOTICES.txt, with component, version and licence, so that no Qt module or
#    plugin slips in unnamed; the zip's files are printed with their entries;
#  - each package's bill of materials, PACKAGE.cdx.json, is valid against CycloneDX 1.5's
#    published JSON schema (Debian's python3-jsonschema; the schemas from the npm package
#    @cyclonedx/cyclonedx-library), and gives every packed file with its SHA-256.
#   scripts/check/notices-check.sh BUILD
# Prints "ok: ..." and "FAIL: ..." lines; fails when any check does, or cannot be made.
set -euo pipefail
build=$(realpath "${1:?usage: notices-check.sh BUILD}")
name=pellavin-$(<"$build/pellavin-version")-win64

. "$(dirname "$0")/../apt-install.sh"
# An npm that came with another Node.js is as good as Debian's, which would conflict with it.
apt_install python3-jsonschema msitools unzip $(command -v npm >/dev/null || echo npm)

# The schemas, from one release of the library, kept between runs.
library=10.3.0
schemas=${XDG_CACHE_HOME:-$HOME/.cache}/pellavin/cyclonedx-library-$library
if [[ ! -f $schemas/package/res/schema/bom-1.5.SNAPSHOT.schema.json ]]; then
  rm -rf "$schemas" && mkdir -p "$schemas"
  (cd "$schemas" && npm pack --silent "@cyclonedx/cyclonedx-library@$library" >/dev/null &&
    tar xzf cyclonedx-cyclonedx-library-$library.tgz) || { echo "FAIL: npm could not fetch the CycloneDX schemas"; exit 1; }
fi
schemas=$schemas/package/res/schema

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
check() { /usr/bin/python3 "$(dirname "$0")/notices_check.py" "$schemas" "$@" || status=1; }

if [[ -f $build/$name.zip ]]; then
  unzip -q "$build/$name.zip" -d "$tmp/zip"
  echo "   the zip's files and their entries in THIRD-PARTY-NOTICES.txt:"
  check "$name.zip" "$tmp/zip/$name" "$build/$name.zip.cdx.json" --print
else
  echo "FAIL: no $name.zip in $build"; status=1
fi
if [[ -f $build/$name.msi ]]; then
  msiextract -C "$tmp/msi" "$build/$name.msi" >/dev/null
  tree=$(find "$tmp/msi" -name pellavin.exe -printf '%h\n' | head -n 1)
  check "$name.msi" "${tree:-$tmp/msi/none}" "$build/$name.msi.cdx.json"
else
  echo "FAIL: no $name.msi in $build"; status=1
fi
# The installer packs its staged tree as it is; NSIS gives no way to list its content.
if [[ -f $build/$name.exe ]]; then
  check "$name.exe" "$build/_CPack_Packages/win64/NSIS/$name" "$build/$name.exe.cdx.json"
fi
exit $status
