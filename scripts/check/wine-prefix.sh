#!/usr/bin/env bash
# The Windows check's Wine prefix: made (wineboot -i, with Tahoma for the system's dialogs) or
# removed, its server ended first. CTest's setup and cleanup of the fixture wine_prefix, and what
# windows-check.sh runs itself when no fixture made one.
#   scripts/check/wine-prefix.sh make|remove PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=$(realpath -m "$2") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
. "$root/scripts/apt-install.sh"
apt_install wine wine64 fonts-wine
wine=$(command -v wine)
log=$(dirname "$WINEPREFIX")/wineboot.log

wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
[[ $1 == remove ]] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
boot() { timeout 300 env -u DISPLAY "$wine" wineboot -i >"$log" 2>&1 && wineserver -w && [[ -f $WINEPREFIX/system.reg ]]; }
# A transient "could not load kernel32.dll" was seen once: one more try on a new prefix.
if ! boot; then
  echo "wineboot failed, trying once more:"
  cat "$log"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  boot || { cat "$log"; echo "FAIL: wineboot made no Wine prefix in $WINEPREFIX"; exit 1; }
fi
# Without Tahoma, "MS Shell Dlg" falls back to a serif face in the windows the system draws.
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
echo "made the Wine prefix $WINEPREFIX"
