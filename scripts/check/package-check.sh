#!/usr/bin/env bash
# Builds Pellavin for release, installs it into a staging folder and checks that each piece
# lands in its place, validates the menu entry and the AppStream file, makes the Debian
# package and has Debian's package checker (lintian) look at it, then makes it again in another
# build folder and compares the two byte for byte (scripts/check/reproducible.sh):
#   ./scripts/check/package-check.sh [build folder]   (the .deb is left in the build folder)
# Installs what it needs on Debian 12 (through sudo when not root).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build-package}")
"$root/scripts/deps.sh" --package

. "$root/scripts/check/reproducible.sh"
make_package() {
  source_date_epoch "$1"
  cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
  cmake --build "$1" --target pellavin -j "$(nproc)"
}
make_package "$build"

stage="$build/stage"
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" >/dev/null

id=io.github.varnholt.Pellavin
failed=0
expect() {
  if [[ -e "$stage/usr/$1" ]]; then echo "installed: /usr/$1"; else echo "MISSING: /usr/$1"; failed=1; fi
}
expect bin/pellavin
expect share/man/man1/pellavin.1.gz
expect share/doc/pellavin/copyright
expect share/doc/pellavin/changelog.gz
expect share/lintian/overrides/pellavin
for f in Calc-Hello.ani Calc-Default.ani arrow_m.cur; do expect "share/pellavin/Cursors/$f"; done
expect "share/applications/$id.desktop"
expect "share/metainfo/$id.metainfo.xml"
expect "share/icons/hicolor/32x32/apps/$id.png"
expect "share/icons/hicolor/48x48/apps/$id.png"
for size in 32 48; do
  file "$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" \
    || { echo "the ${size}-pixel icon is not a ${size}x${size} PNG"; failed=1; }
done
# The menu entry's working folder is the one that holds Cursors.
path=$(sed -n 's/^Path=//p' "$stage/usr/share/applications/$id.desktop")
[[ -d "$stage$path/Cursors" ]] || { echo "Path=$path holds no Cursors folder"; failed=1; }

desktop-file-validate "$stage/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml"

(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/pellavin_$(<"$build/pellavin-version")_amd64.deb"
[[ -f "$deb" ]] || { echo "no $deb"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in fonts-liberation qt6-translations-l10n libqt6widgets6 libqt6printsupport6 libqt6gui6; do
  grep -q "$need" <<<"$depends" || { echo "Depends lacks $need"; failed=1; }
done
# The package holds exactly what the install put in the staging folder.
diff <(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sed 's|^\./||' | sort) \
     <(cd "$stage" && find . -type f | sed 's|^\./||' | sort) || { echo "package and install differ"; failed=1; }
# Debian's package checker: its errors and warnings are what a Debian reviewer insists on.
# Informational and pedantic notes are shown as well, and fail nothing.
lintian_out=$(lintian --info --display-info --pedantic "$deb" 2>&1) || true
grep -E '^[EWIPX]: ' <<<"$lintian_out" || true
if grep -qE '^[EW]: ' <<<"$lintian_out"; then
  echo "lintian: errors or warnings, explained:"
  awk '/^[EW]: /{on=1} /^[IPX]: /{on=0} on' <<<"$lintian_out"
  failed=1
else
  echo "lintian: no errors, no warnings"
fi

echo "-- the package again, from another build folder (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
again_start=$SECONDS
rm -rf "$build/again"
make_package "$build/again" >/dev/null
(cd "$build/again" && cpack -G DEB >/dev/null)
same_package "$deb" "$build/again/$(basename "$deb")" || failed=1
echo "   ($((SECONDS - again_start)) s)"
echo "package: $deb ($(du -k "$deb" | awk '{ printf "%.1f MB", $1 / 1024 }'))"
exit "$failed"
