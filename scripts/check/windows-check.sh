#!/usr/bin/env bash
# The Windows program, built here and run under Wine:
#  - Qt for MinGW, built once and cached (scripts/qt-mingw.sh);
#  - Pellavin and every test program cross-built with warnings as errors, the tests run
#    under Wine, offscreen, among them the Windows layers and resource script against the real
#    Windows API (tests/wine);
#  - the zip, the installer and the MSI made by CPack, made again in another build folder and
#    compared byte for byte (scripts/check/reproducible.sh), with their bills of materials;
#  - every file of each package named in its third-party notices, and each bill of materials
#    valid and true to the package (scripts/check/notices-check.sh);
#  - the MSI and the installer installed, upgraded and removed silently under Wine, and the
#    installed program driven through a session on a virtual screen
#    (scripts/check/windows_install.py, scripts/check/windows_session.py session);
#  - the program from the zip on a student's desktop (scripts/check/windows_session.py desktop).
#   ./scripts/check/windows-check.sh [work folder]
# Installs what it needs on Debian 12. Needs root for the CUPS part (the PDF backend runs as root).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "${1:-$root/build-windows}")
# Through sudo, the variables this check reads go along: without them it would sign nothing.
if [[ $(id -u) -ne 0 ]]; then
  exec sudo --preserve-env=PELLAVIN_SIGN_CERT,PELLAVIN_SIGN_KEY,PELLAVIN_SIGN_PASSWORD_FILE,PELLAVIN_SIGN_TIMESTAMP,PELLAVIN_QT_MINGW,PELLAVIN_WINE_PREFIX_MADE,SOURCE_DATE_EPOCH,CI "$0" "$work"
fi

packages=(wine wine64 fonts-wine fonts-liberation nsis unzip xvfb openbox xdotool imagemagick
          tesseract-ocr tesseract-ocr-eng x11-utils python3 cups printer-driver-cups-pdf cmake ninja-build
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          # The MSI, the packages' signatures and their comparison.
          wixl msitools faketime osslsigncode diffoscope-minimal)
. "$root/scripts/apt-install.sh"
apt_install "${packages[@]}"
mkdir -p "$work"
step_start=$SECONDS
took() { echo "   ($((SECONDS - step_start)) s)"; step_start=$SECONDS; }

echo "-- Qt for MinGW"
qt=$("$root/scripts/qt-mingw.sh" | tail -n 1)
echo "   $qt"
took

echo "-- cross-building Pellavin and its tests, warnings as errors"
build=$work/build
. "$root/scripts/check/reproducible.sh"
source_date_epoch "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELLAVIN_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DPELLAVIN_QT_MINGW="$qt" -DQT_HOST_PATH=/usr \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/check/wine-run.sh" >"$work/configure.log" ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$build" -j 2 >"$work/build.log" 2>&1 || { grep -E -A8 'error|warning' "$work/build.log" | head -80; exit 1; }
grep -q 'warning:' "$work/build.log" && { grep 'warning:' "$work/build.log"; exit 1; }
echo "   no warnings"
took

# The name Wine gives a Unix path (Z:\...).
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine)
# Under CTest, the fixture wine_prefix has made it (PELLAVIN_WINE_PREFIX_MADE).
if [[ -n ${PELLAVIN_WINE_PREFIX_MADE:-} ]]; then
  [[ -f $WINEPREFIX/system.reg ]] || { echo "FAIL: no Wine prefix made in $WINEPREFIX"; exit 1; }
else
  echo "-- making the Wine prefix"
  "$root/scripts/check/wine-prefix.sh" make "$WINEPREFIX"
  took
fi

echo "-- the test programs under Wine, offscreen"
# Each reason is printed; these runs are left out.
declare -A skipped=(
  [tst_translations]="this Qt for MinGW is built without Qt's own translations, which it looks for"
  [tst_translations@2]="the same"
  [tst_translations@1.5]="the same"
  [pellavin_de_finished]="checks a translation source with the host's lrelease (run in the Linux suite)"
  [pellavin_fr_finished]="the same"
  [pellavin_es_finished]="the same"
)
skip_pattern=""
for name in "${!skipped[@]}"; do
  echo "   skipped $name: ${skipped[$name]}"
  skip_pattern+="${skip_pattern:+|}^${name//./\\.}\$"
done
results=$work/ctest.log
(
  export WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_dir");$(winpath "$pthread_dir")"
  cd "$build"
  unset DISPLAY
  ctest -j 2 --timeout 300 --output-on-failure ${skip_pattern:+-E "$skip_pattern"} >"$results" 2>&1 || true
)
grep -E '^ *[0-9]+/[0-9]+ Test +#' "$results" | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: /   /'
passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#.* Passed' "$results" || true)
failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$results" || true)
failed=$((failed - passed))
if [[ $failed -ne 0 || $passed -eq 0 ]]; then
  sed -n '/^ *[0-9]*\/[0-9]* Test *#.*\*\*\*/,/^ *[0-9]*\/[0-9]* Test/p' "$results" | grep -E 'FAIL|Loc:|Actual|Expected' | head -40
fi
echo "win32: $passed passed, $failed failed (test programs under Wine)"
took

echo "-- the zip, the installer and the MSI"
(cd "$build" && cpack -C Release >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
version=$(<"$build/pellavin-version")
name=pellavin-$version-win64
zip=$build/$name.zip
installer=$build/$name.exe
checks_passed=0
checks_failed=0
pass() { echo "ok: $1"; checks_passed=$((checks_passed + 1)); }
fail() { echo "FAIL: $1"; checks_failed=$((checks_failed + 1)); }
size() { du -k "$1" | awk '{ printf "%.1f MB", $1 / 1024 }'; }
[[ -f $zip ]] && pass "$(basename "$zip"): $(size "$zip")" || fail "no zip"
listing=$(unzip -Z1 "$zip" 2>/dev/null | sed "s|^$name/||" | sort)
for file in pellavin.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll platforms/qwindows.dll \
            imageformats/qjpeg.dll imageformats/qico.dll styles/qwindowsvistastyle.dll libstdc++-6.dll \
            libgcc_s_seh-1.dll libwinpthread-1.dll Cursors/arrow_m.cur Cursors/Calc-Default.ani Cursors/Calc-Hello.ani; do
  grep -qxF "$file" <<<"$listing" || fail "the zip lacks $file"
done
grep -q 'Qt6Test\|qoffscreen' <<<"$listing" && fail "the zip holds test-only files"
[[ -f $installer ]] && pass "$(basename "$installer"): $(size "$installer")"
msi=$build/$name.msi
[[ -f $msi ]] && pass "$(basename "$msi"): $(size "$msi")" || fail "no MSI"
symbols=$build/$name-symbols.zip
[[ -f $symbols ]] && pass "$(basename "$symbols"), beside them: $(size "$symbols")" || fail "no symbols archive"
took

echo "-- every PE file in every package: stripped, and signed when a certificate is given"
# What each package installs: the zip unpacked, the MSI's files taken out by msiextract, and the
# installer's tree as cpack packed it (its uninstaller is checked once installed).
contents=$work/contents
rm -rf "$contents"
mkdir -p "$contents/zip" "$contents/msi"
unzip -q "$zip" -d "$contents/zip"
(cd "$contents/msi" && msiextract "$msi" >/dev/null)
mapfile -t pe_files < <(find "$contents" "$build/_CPack_Packages/win64/NSIS/$name" -type f \
                          \( -iname '*.exe' -o -iname '*.dll' \) | sort)
pe_files+=("$installer" "$msi")
echo "   unpacked, the zip's program is $(du -sk "$contents/zip" | awk '{ printf "%.1f MB", $1 / 1024 }')"
unstripped=""
for file in "${pe_files[@]}"; do
  [[ $file == "$installer" || $file == "$msi" ]] && continue
  x86_64-w64-mingw32-objdump -h "$file" | grep -q ' \.debug_' && unstripped+=" ${file#"$work/"}"
done
[[ -z $unstripped ]] && pass "${#pe_files[@]} PE files and packages, not one with debug sections" ||
  fail "debug sections left in:$unstripped"
if [[ -n ${PELLAVIN_SIGN_CERT:-} ]]; then
  signed=0 total=0
  for file in "${pe_files[@]}"; do
    total=$((total + 1))
    if osslsigncode verify -CAfile "$PELLAVIN_SIGN_CERT" -in "$file" >"$work/verify.log" 2>&1; then
      signed=$((signed + 1))
    else
      echo "   unsigned or not verified: ${file#"$work/"}"
    fi
  done
  ((signed == total && total > 0)) && pass "osslsigncode verify: $signed signed of $total" ||
    fail "osslsigncode verify: $signed signed of $total"
elif [[ -n ${CI:-} ]]; then
  fail "no certificate (PELLAVIN_SIGN_CERT and PELLAVIN_SIGN_KEY): CI signs with a throwaway one"
else
  echo "   no certificate given (PELLAVIN_SIGN_CERT, PELLAVIN_SIGN_KEY): nothing signed, signatures not checked"
fi
took

echo "-- every file of each package in its notices, and each package's bill of materials"
"$root/scripts/check/notices-check.sh" "$build" >"$work/notices-check.log" 2>&1 ||
  grep -q '^FAIL: ' "$work/notices-check.log" || echo "FAIL: the notices check stopped" >>"$work/notices-check.log"
cat "$work/notices-check.log"
checks_passed=$((checks_passed + $(grep -c '^ok: ' "$work/notices-check.log" || true)))
checks_failed=$((checks_failed + $(grep -c '^FAIL: ' "$work/notices-check.log" || true)))
took

echo "-- the same packages from another build folder, a while later, on a loaded machine (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
again=$work/again
rm -rf "$again"
source_date_epoch "$again"
# A busy loop on every core for the whole second build, so that nothing that depends on how
# long a step takes can come out the same by luck.
load=()
for _ in $(seq "$(nproc)"); do bash -c 'while :; do :; done' & load+=($!); done
stop_load() { kill "${load[@]}" 2>/dev/null || true; wait "${load[@]}" 2>/dev/null || true; load=(); }
trap stop_load EXIT
cmake -S "$root" -B "$again" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELLAVIN_WERROR=ON -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DPELLAVIN_QT_MINGW="$qt" -DQT_HOST_PATH=/usr \
  >"$work/again.log" && cmake --build "$again" -j 2 >>"$work/again.log" 2>&1 &&
  (cd "$again" && cpack -C Release >>"$work/again.log" 2>&1) || { tail -20 "$work/again.log"; exit 1; }
echo "   built under a load of $(cut -d' ' -f1 /proc/loadavg) on $(nproc) cores"
stop_load
trap - EXIT
for package in "$zip" "$installer" "$msi" "$symbols" "$zip.cdx.json" "$installer.cdx.json" "$msi.cdx.json"; do
  [[ -f $package ]] || continue
  same_package "$package" "$again/$(basename "$package")" && pass "$(basename "$package") is reproducible" ||
    fail "$(basename "$package") is not reproducible"
done
took

echo "-- installing, upgrading and removing under Wine, with a session of the installed program"
status=0
"$root/scripts/check/windows_install.py" "$work" "$build" 2>&1 | tee "$work/install-check.log" || status=${PIPESTATUS[0]}
# A check that stopped without saying why still fails.
if [[ $status -ne 0 ]] && ! grep -q '^FAIL: ' "$work/install-check.log"; then
  echo "FAIL: the install check stopped (exit status $status)" | tee -a "$work/install-check.log"
fi
checks_passed=$((checks_passed + $(grep -c '^ok: ' "$work/install-check.log" || true)))
checks_failed=$((checks_failed + $(grep -c '^FAIL: ' "$work/install-check.log" || true)))

echo "-- a student's desktop: the tool's real registry path beside a planted program, high-contrast schemes"
# The program from the zip (the check starts a virtual screen of its own).
rm -rf "$work/zip"
unzip -q "$zip" -d "$work/zip"
desktop_failed=0
/usr/bin/python3 "$root/scripts/check/windows_session.py" desktop "$work" "$work/zip/$name" || desktop_failed=1

echo "note: the desktop cursor is not shown here: Wine's SetSystemCursor returns TRUE and changes nothing,"
echo "      so the pointer keeps the X theme's arrow; the program's cursor calls are checked by the test"
echo "      programs above through their recording layer."
echo "win32: $checks_passed passed, $checks_failed failed (package, installer and session)"
[[ $failed -eq 0 && $checks_failed -eq 0 && $desktop_failed -eq 0 ]]
