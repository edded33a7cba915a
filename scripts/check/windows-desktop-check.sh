#!/usr/bin/env bash
# The Windows program on a desktop as a student has it rather than a clean prefix, run under Wine
# after the Windows check's session:
#  - the system-information tool's value as a real machine holds it, unquoted with blanks, the
#    real tool under C:\Program Files\..., and a planted C:\Program.exe: only the real tool starts;
#  - Windows' "High Contrast Black" and "High Contrast White" schemes: the four windows
#    photographed in each, and the About box's title and description measured for contrast.
#   ./scripts/check/windows-desktop-check.sh WORK APP
# APP is the folder holding pellavin.exe; WORK receives the screenshots. Needs WINEPREFIX (a made
# prefix) and DISPLAY (a screen with a window manager), as scripts/check/windows-check.sh has them.
# Ends with "win32: N passed, M failed (desktop)".
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "$1")
app=$(realpath -m "$2")
: "${WINEPREFIX:?a made Wine prefix}" "${DISPLAY:?a screen}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine)
shots=$work/desktop
rm -rf "$shots"
mkdir -p "$shots"
. "$root/scripts/lib.sh"

passed=0 failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
shot() { import -window root "$shots/$1.png" 2>/dev/null && echo "   screenshot: $shots/$1.png"; }
program=0
stop_program() {
  [[ $program -ne 0 ]] && kill "$program" 2>/dev/null || true
  program=0
  wineserver -k 2>/dev/null || true
}
trap stop_program EXIT

# WCAG's contrast between the darkest and the lightest pixel of a part of a screenshot:
# contrast FILE WIDTHxHEIGHT+X+Y
contrast() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null | python3 -c '
import re, sys
def lum(c):
    c = c / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
ls = [0.2126 * lum(int(r)) + 0.7152 * lum(int(g)) + 0.0722 * lum(int(b))
      for r, g, b in re.findall(r"^\d+,\d+: \((\d+),(\d+),(\d+)", sys.stdin.read(), re.M)]
print("%.2f" % ((max(ls) + 0.05) / (min(ls) + 0.05)) if ls else "0")'
}

# ---- the system-information tool where a real machine keeps it, and a planted program
stand_in=$work/msinfo32.exe
x86_64-w64-mingw32-gcc-posix -O1 -Wall -Wextra -Werror "$root/tests/wine/msinfo_stand_in.c" -o "$stand_in"
drive_c=$WINEPREFIX/drive_c
tool_dir="$drive_c/Program Files/Common Files/Microsoft Shared/MSInfo"
mkdir -p "$tool_dir"
cp "$stand_in" "$tool_dir/msinfo32.exe"
cp "$stand_in" "$drive_c/Program.exe"
rm -f "$tool_dir/started.txt" "$drive_c/started.txt"
"$wine" reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ \
  /d 'C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe' /f >/dev/null 2>&1

# ---- the schemes, with their colours as Windows 10 and 11 give them
declare -A black=([Window]='0 0 0' [WindowText]='255 255 255' [ButtonFace]='0 0 0' [ButtonText]='255 255 255'
  [Hilight]='26 235 255' [HilightText]='0 0 0' [GrayText]='63 242 63' [Menu]='0 0 0' [MenuText]='255 255 255'
  [TitleText]='255 255 255' [ActiveTitle]='0 0 0' [InfoWindow]='0 0 0' [InfoText]='255 255 255'
  [ButtonHilight]='255 255 255' [ButtonShadow]='128 128 128' [ButtonDkShadow]='255 255 255'
  [ButtonLight]='0 0 0' [HotTrackingColor]='255 255 0' [MenuBar]='0 0 0' [MenuHilight]='26 235 255'
  [Background]='0 0 0' [AppWorkspace]='0 0 0' [WindowFrame]='255 255 255')
declare -A white=([Window]='255 255 255' [WindowText]='0 0 0' [ButtonFace]='255 255 255' [ButtonText]='0 0 0'
  [Hilight]='55 0 110' [HilightText]='255 255 255' [GrayText]='96 0 0' [Menu]='255 255 255' [MenuText]='0 0 0'
  [TitleText]='0 0 0' [ActiveTitle]='255 255 255' [InfoWindow]='255 255 255' [InfoText]='0 0 0'
  [ButtonHilight]='0 0 0' [ButtonShadow]='128 128 128' [ButtonDkShadow]='0 0 0'
  [ButtonLight]='255 255 255' [HotTrackingColor]='0 0 159' [MenuBar]='255 255 255' [MenuHilight]='55 0 110'
  [Background]='255 255 255' [AppWorkspace]='255 255 255' [WindowFrame]='0 0 0')

# Writes a scheme where Windows keeps it, turns high contrast on and visual styles off as Windows
# does, and restarts the Wine server: the desktop reads its colours when it starts.
set_scheme() {
  local -n colours=$1
  local name
  for name in "${!colours[@]}"; do
    "$wine" reg add 'HKCU\Control Panel\Colors' /v "$name" /d "${colours[$name]}" /f >/dev/null 2>&1
  done
  "$wine" reg add 'HKCU\Control Panel\Accessibility\HighContrast' /v Flags /d 127 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# One session under a scheme: every window photographed, the About box measured, and under the
# dark scheme System Info pressed.
session() {
  local scheme=$1 id x y w h border ratio
  (cd "$app" && exec "$wine" pellavin.exe >"$shots/$scheme.log" 2>&1) &
  program=$!
  for _ in $(seq 150); do
    xdotool search --onlyvisible --class pellavin >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 2
  shot "$scheme-1-splash"
  xdotool windowactivate --sync "$(xdotool search --onlyvisible --class pellavin | head -n 1)" 2>/dev/null || true
  keys a
  waitfor -q 'User Name Input' 1 || { fail "$scheme: no name prompt"; stop_program; return; }
  sleep 0.5
  shot "$scheme-2-name-prompt"
  keys Return
  sleep 0.5
  keys Return
  waitfor -q '^Pellavin$' 1 || { fail "$scheme: no main window"; stop_program; return; }
  sleep 1
  shot "$scheme-3-main"
  focus '^Pellavin$'
  keys alt Right Right Down Return
  if waitfor -q '^About Pellavin$' 1; then
    sleep 0.8
    shot "$scheme-4-about"
    id=$(xdotool search --onlyvisible --name '^About Pellavin$' | head -n 1)
    read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
    # The client area is 382 x 205; Wine may draw the frame around it itself: a border on each
    # side and the caption above.
    border=$(((w - 382) / 2))
    x=$((x + border)) y=$((y + h - 205 - border))
    echo "   the About box's client area at $x,$y"
    # The two labels' boxes in the client area: 104,16 259x32 and 104,75 259x78 pixels.
    for label in "title 259x32+$((x + 104))+$((y + 16))" "description 259x78+$((x + 104))+$((y + 75))"; do
      ratio=$(contrast "$shots/$scheme-4-about.png" "${label#* }")
      if awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }'; then
        pass "$scheme: the About box's ${label%% *} reads at $ratio to 1"
      else
        fail "$scheme: the About box's ${label%% *} reads at $ratio to 1 (4.5 needed)"
      fi
    done
    if [[ $scheme == high-contrast-black ]]; then
      focus '^About Pellavin$'
      keys alt+s
      for _ in $(seq 50); do [[ -f $tool_dir/started.txt || -f $drive_c/started.txt ]] && break; sleep 0.2; done
      sleep 1
      [[ -f $tool_dir/started.txt ]] &&
        pass "System Info started the real tool: $(tr -d '\r' <"$tool_dir/started.txt" | tr '\n' ' ')" ||
        fail "System Info did not start the tool under C:\\Program Files"
      [[ ! -f $drive_c/started.txt ]] && pass "and not the planted C:\\Program.exe" ||
        fail "System Info started the planted C:\\Program.exe: $(tr -d '\r' <"$drive_c/started.txt" | tr '\n' ' ')"
    fi
    focus '^About Pellavin$'
    keys Escape
  else
    fail "$scheme: Help > About opened nothing"
  fi
  focus '^Pellavin$'
  keys alt Right Right Down Down Return
  if waitfor -q '^Help using Pellavin$' 1; then
    sleep 0.8
    shot "$scheme-5-help"
    pass "$scheme: the four windows photographed"
  else
    fail "$scheme: Help > Using this program opened nothing"
  fi
  focus '^Pellavin$'
  keys ctrl+x
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  stop_program
}

"$wine" reg export 'HKCU\Control Panel\Colors' "$(winpath "$work/colours.reg")" /y >/dev/null 2>&1 || true
echo "-- High Contrast Black, and the system-information tool beside a planted C:\\Program.exe"
set_scheme black
session high-contrast-black
echo "-- High Contrast White"
set_scheme white
session high-contrast-white

# Back to the colours before, for whatever runs in this prefix next.
"$wine" reg delete 'HKCU\Control Panel\Colors' /f >/dev/null 2>&1 || true
"$wine" reg import "$(winpath "$work/colours.reg")" >/dev/null 2>&1 || true
"$wine" reg delete 'HKCU\Control Panel\Accessibility\HighContrast' /v Flags /f >/dev/null 2>&1 || true
"$wine" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
echo "win32: $passed passed, $failed failed (desktop)"
[[ $failed -eq 0 ]]
