#!/usr/bin/env bash
# A session of the installed Windows program under Wine, started as its Start-menu shortcut
# starts it (the program it names, in the folder it names, where Cursors\... resolves),
# on a virtual screen with a window manager, driven with xdotool and read with tesseract: the
# splash window, the name prompt, a question answered wrong and right, Help > About and the
# system-information launcher with and without its registry value, Print twice and Exit to a
# CUPS server of its own.
#   scripts/check/windows-session.sh WORK SHORTCUT [SCREENSHOTS]
# Called by windows-install-check.sh with its Wine prefix exported (WINEPREFIX); prints an
# "ok:" or "FAIL:" line for each check and fails when one failed. Screenshots go into
# WORK/SCREENSHOTS (screenshots).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
link=$2
shots=$work/${3:-screenshots}
wine=$(command -v wine)
checks_failed=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; checks_failed=$((checks_failed + 1)); }

run=$work/run
rm -rf "$run" "$shots"
mkdir -p "$run" "$shots"
x86_64-w64-mingw32-gcc-posix -O1 -Wall -Wextra -Werror "$root/tests/wine/msinfo_stand_in.c" -o "$run/msinfo32.exe"

cups=$(mktemp -d /tmp/pellavin-wincups.XXXXXX)
chmod 755 "$cups"
. "$root/scripts/lib.sh"
program=0
cleanup() {
  [[ $program -ne 0 ]] && kill "$program" 2>/dev/null || true
  [[ -f $cups/cupsd.pid ]] && kill "$(cat "$cups/cupsd.pid")" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  screen_stop
  rm -rf "$cups"
}
trap cleanup EXIT

# A CUPS server of its own with a PDF printer as the default; Wine finds its printers through
# libcups, which reads CUPS_SERVER.
cups_start "$cups" || exit 1
touch "$cups/marker"

screen_start 1024x768
# The system colours the splash window paints with, set where a Windows user would set them.
"$wine" reg add 'HKCU\Control Panel\Colors' /v TitleText /d '255 255 0' /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Control Panel\Colors' /v HilightText /d '0 128 255' /f >/dev/null 2>&1
wineserver -w

msinfo_key='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
"$wine" reg add "$msinfo_key" /v PATH /t REG_SZ /d "$(winpath "$run/msinfo32.exe")" /f >/dev/null 2>&1

# The whole screen, and the active window alone for reading its text.
shot() {
  import -window root "$shots/$1.png" 2>/dev/null && echo "   screenshot: $shots/$1.png"
  local active
  active=$(xdotool getactivewindow 2>/dev/null || true)
  # (Given no window, import waits for a click.)
  [[ -n $active ]] && import -window "$active" "$shots/active-$1.png" 2>/dev/null || true
}
# The text of the window that was active in a screenshot, read the way a user reads it.
ocr() {
  convert "$shots/active-$1.png" -colorspace Gray -resize 300% png:- 2>/dev/null |
    tesseract - - 2>/dev/null | tr '\n' ' '
}
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# The program the shortcut names, in the working folder it names. (Wine's start opens the link
# itself the same way, but gives back neither the program nor its exit status.)
link_strings=$( (strings -a "$link"; strings -a -el "$link") | tr -d '\r')
target=$(grep -iE '^[a-z]:\\.*\\pellavin\.exe$' <<<"$link_strings" | head -n 1)
folder=$(grep -iE '^[a-z]:\\' <<<"$link_strings" | grep -viE '\.(exe|ico)$' | tail -n 1)
echo "   started as its shortcut starts it: $target in $folder"
(cd "$("$wine" winepath -u "$folder" 2>/dev/null)" && exec "$wine" "$target" >"$work/pellavin.log" 2>&1) &
program=$!
# The splash window has no title; Wine names the class of each window after its program.
for _ in $(seq 150); do
  xdotool search --onlyvisible --class 'pellavin' >/dev/null 2>&1 && break
  sleep 0.2
done
if xdotool search --onlyvisible --class 'pellavin' >/dev/null 2>&1; then
  sleep 2
  shot 1-splash
  pass "the splash window is up"
else
  fail "no splash window"
fi
xdotool windowactivate --sync "$(xdotool search --onlyvisible --class pellavin | head -n 1)" 2>/dev/null || true
keys a
waitfor -q 'User Name Input' 1 && pass "a key opened the name prompt" || fail "no name prompt"
sleep 0.5
shot 2-name-prompt
xdotool type --delay 60 'Robert'
keys Return
sleep 0.5
shot 3-greeting
ocr 3-greeting | grep -qiE 'Welcome to Pellavin, Rob' && pass "the greeting names Robert" || fail "the greeting: $(ocr 3-greeting)"
keys Return
sleep 1
shot 4-question-1
main=$(xdotool search --onlyvisible --name '^Pellavin$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"
# The question line: the frame "Question" sits at the top of the client area, under the menu
# bar; the operands' and the operator's labels are read one by one.
import -window root -crop "300x90+$X+$Y" +repage "$shots/question.png" 2>/dev/null
# A lone digit touching the crop's edge is often read as nothing: give it a margin, and try it
# as a word where it is not read as a line.
digits() {
  local psm read
  for psm in 7 8; do
    read=$(convert "$shots/question.png" -crop "$1" +repage -colorspace Gray -resize 300% -threshold 60% \
             -bordercolor white -border 20 png:- 2>/dev/null |
           tesseract - - --psm "$psm" -c tessedit_char_whitelist=0123456789 2>/dev/null | tr -cd '0-9')
    [[ -n $read ]] && break
  done
  echo "$read"
}
a=$(digits 59x43+24+24)
b=$(digits 59x43+128+24)
# A minus is a flat stroke, a plus as high as it is wide: the Beginner level has no others.
op_height=$(convert "$shots/question.png" -crop 27x43+80+24 +repage -colorspace Gray -threshold 50% -negate -trim \
            -format '%h' info: 2>/dev/null || echo 0)
op=-
((op_height > 6)) && op=+
echo "   question read from the screen: $a $op $b = ?"
answer=""
if [[ -n $a && -n $b ]]; then
  answer=$((a $op b))
  pass "question 1 is on the main window: $a $op $b = ?"
else
  fail "question 1 could not be read"
fi
focus '^Pellavin$'
xdotool type --delay 60 '999'
keys Return
sleep 0.5
shot 5-wrong-answer
ocr 5-wrong-answer | grep -qiE 'improperly.*3 tries le' && pass "a wrong answer: \"...you have 3 tries left.\"" ||
  fail "no tries-left box: $(ocr 5-wrong-answer)"
keys Return
if [[ -n $answer ]]; then
  focus '^Pellavin$'
  xdotool type --delay 60 "$answer"
  keys Return
  sleep 0.5
  shot 6-right-answer
  ocr 6-right-answer | grep -qi 'sloved' && pass "the right answer $answer: \"You have sloved the problem correctly!\"" ||
    fail "no box for the right answer: $(ocr 6-right-answer)"
  keys Return
fi

echo "-- Help > About and System Info"
focus '^Pellavin$'
# Alt alone moves into the menu bar; Help is the third menu.
keys alt Right Right Down Return
if waitfor -q '^About Pellavin$' 1; then
  sleep 0.5
  shot 7-about
  pass "Help > About opened the About box"
  rm -f "$run/started.txt"
  focus '^About Pellavin$'
  keys alt+s
  for _ in $(seq 50); do [[ -f $run/started.txt ]] && break; sleep 0.2; done
  if [[ -f $run/started.txt ]]; then
    pass "System Info started the program named under MSINFO: $(tr -d '\r' <"$run/started.txt" | tr '\n' ' ')"
  else
    fail "System Info did not start the program named under MSINFO"
  fi
  "$wine" reg delete "$msinfo_key" /v PATH /f >/dev/null 2>&1
  focus '^About Pellavin$'
  keys alt+s
  if waitfor -q '^Pellavin$' 2; then
    sleep 0.5
    shot 8-sysinfo-unavailable
    ocr 8-sysinfo-unavailable | grep -qiE 'System In.ormation Is Unavailable At This Time' &&
      pass "without the value: \"System Information Is Unavailable At This Time\"" ||
      fail "the box without the value: $(ocr 8-sysinfo-unavailable)"
    keys Return
  else
    fail "without the value, no box appeared"
  fi
  focus '^About Pellavin$'
  keys Escape
  [[ $(windows_named '^About Pellavin$') -eq 0 ]] && pass "Esc closed the About box" || fail "the About box stayed"
else
  fail "Help > About opened nothing"
fi

echo "-- Print twice and Exit"
lpstat -p 2>/dev/null | sed 's/^/   /'
focus '^Pellavin$'
keys ctrl+p
sleep 1
keys ctrl+p
sleep 1
shot 9-after-print
keys ctrl+x
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
  fail "Ctrl+X left the program running"
else
  wait "$program" && pass "Ctrl+X ended the program" || fail "the program ended with an error"
  program=0
fi
for _ in $(seq 100); do
  [[ -n $(find "$HOME/PDF" -name '*.pdf' -newer "$cups/marker" 2>/dev/null) && -z $(lpstat -o 2>/dev/null) ]] && break
  sleep 0.1
done
jobs=$(lpstat -W all -o 2>/dev/null | grep -c . || true)
pdfs=$(find "$HOME/PDF" -name '*.pdf' -newer "$cups/marker" 2>/dev/null | grep -c . || true)
if [[ $jobs -eq 1 && $pdfs -eq 1 ]]; then
  pass "Print twice and Exit gave one job, one PDF"
else
  fail "Print twice and Exit gave $jobs jobs and $pdfs PDF files"
fi

[[ $checks_failed -eq 0 ]]
