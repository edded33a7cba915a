#!/usr/bin/env bash
# Cross-compiles the program's Windows layers (cursor, registry, system colours) and its
# resource script with MinGW, links them into tests/wine/win32_layers.cpp and runs that under
# Wine, in a Wine prefix of its own, against registry values written here with "reg add".
#   ./scripts/check/wine-check.sh [work folder]
# Installs what it needs on Debian 12 (through sudo when not root).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "${1:-$root/build-wine}")

packages=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64)
. "$root/scripts/apt-install.sh"
apt_install "${packages[@]}"

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
mkdir -p "$work"

echo "-- compiling with MinGW"
version=$(sed -nE 's/^project\(([A-Za-z]+) VERSION ([0-9]+)\.([0-9]+)\.([0-9]+).*/\1 \2 \3 \4/p' "$root/CMakeLists.txt")
read -r name major minor patch <<<"$version"
# The same substitutions as CMake's configure_file, so that the script's checks see the
# resource a Windows build compiles.
sed -e "s|@PELLAVIN_ICON_FILE@|$root/windows/pictures/pellavin.ico|" \
    -e "s|@PROJECT_NAME@|$name|g; s|@PROJECT_VERSION_MAJOR@|$major|g; s|@PROJECT_VERSION_MINOR@|$minor|g; s|@PROJECT_VERSION_PATCH@|$patch|g" \
    -e "s|@PELLAVIN_VERSION_TEXT@|$major.$(printf '%02d' "$minor")|g" \
    "$root/packaging/windows/pellavin.rc.in" >"$work/pellavin.rc"
x86_64-w64-mingw32-windres "$work/pellavin.rc" -O coff -o "$work/pellavin-rc.o"
x86_64-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror \
  -I"$root" \
  "$root/tests/wine/win32_layers.cpp" \
  "$root/cursor/cursorplatform_win32.cpp" \
  "$root/services/registry/registry_win32.cpp" "$root/services/registry/keyvalue.cpp" \
  "$root/windows/syscolor_win32.cpp" \
  "$work/pellavin-rc.o" \
  -static -luser32 -lgdi32 -ladvapi32 -lversion -o "$work/win32_layers.exe"

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display is needed: keep Wine from looking for one.
unset DISPLAY
echo "-- making the Wine prefix"
rm -rf "$WINEPREFIX"
timeout 300 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }

echo "-- writing registry values"
key='SOFTWARE\Pellavin Wine Check'
reg() { timeout 60 "$wine" reg add "HKLM\\$key" /f "$@" >/dev/null; }
reg /v Text /t REG_SZ /d 'C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe'
reg /v Number /t REG_DWORD /d 0x12345678
reg /v SmallNumber /t REG_DWORD /d 0x00000A0B
# 1023 characters and the final zero fill the reading buffer exactly; 1100 overflow it.
reg /v Fits /t REG_SZ /d "$(printf 'f%.0s' $(seq 1023))"
reg /v TooLong /t REG_SZ /d "$(printf 'x%.0s' $(seq 1100))"
reg /v Expandable /t REG_EXPAND_SZ /d '%SystemRoot%\system32'
reg /v Empty /t REG_BINARY /d ''

echo "-- running the layers under Wine"
cd "$root"
timeout 120 "$wine" "$work/win32_layers.exe" "$key" | tr -d '\r'
