#!/usr/bin/env bash
# Writes (add) or deletes (delete) the registry values win32_layers reads, under
# HKEY_LOCAL_MACHINE\KEY of the Wine prefix WINEPREFIX names.
#   tests/wine/registry-values.sh add|delete KEY
set -euo pipefail
key="HKLM\\$2"
wine=$(command -v wine || echo /usr/lib/wine/wine64)
export WINEDEBUG=-all
reg() { timeout 120 env -u DISPLAY "$wine" reg "$@" >/dev/null; }
if [[ $1 == delete ]]; then
  reg delete "$key" /f
  exit
fi
reg add "$key" /f /v Text /t REG_SZ /d 'C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe'
reg add "$key" /f /v Number /t REG_DWORD /d 0x12345678
reg add "$key" /f /v SmallNumber /t REG_DWORD /d 0x00000A0B
# 1023 characters and the final zero fill the reading buffer exactly; 1100 overflow it.
reg add "$key" /f /v Fits /t REG_SZ /d "$(printf 'f%.0s' $(seq 1023))"
reg add "$key" /f /v TooLong /t REG_SZ /d "$(printf 'x%.0s' $(seq 1100))"
reg add "$key" /f /v Expandable /t REG_EXPAND_SZ /d '%SystemRoot%\system32'
reg add "$key" /f /v Empty /t REG_BINARY /d ''
