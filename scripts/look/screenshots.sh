#!/usr/bin/env bash
# Starts Pellavin on a virtual 96-dpi screen with a window manager, walks through the splash
# window, the name prompt, the greeting, the main window, the About box and the help window,
# and saves a screenshot of each:
#   ./scripts/look/screenshots.sh [--scale FACTOR] [--lang LANG] [--language LANGUAGE]
#                                 [--scheme high-contrast-black|high-contrast-white] [output folder]
# --scale 2 draws the windows as on a high-density screen (QT_SCALE_FACTOR), into
# build/screenshots-x2 unless a folder is given. --lang de_DE.UTF-8 (or --language de:fr) shows
# them in that language, into build/screenshots-de_DE.UTF-8; without either they are English.
# --scheme gives the program a KDE Plasma desktop with that high-contrast colour scheme.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scale=1 lang=C.UTF-8 language="" scheme=""
while [[ "${1:-}" == --* ]]; do
  case "$1" in
    --scale) scale=$2 ;;
    --lang) lang=$2 ;;
    --language) language=$2 ;;
    --scheme) scheme=$2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
suffix=""
[[ "$scale" != 1 ]] && suffix="-x$scale"
[[ "$lang" != C.UTF-8 ]] && suffix="$suffix-$lang"
[[ -n "$language" ]] && suffix="$suffix-${language//:/-}"
[[ -n "$scheme" ]] && suffix="$suffix-$scheme"
out=$(realpath -m "${1:-$root/build/screenshots$suffix}")
"$root/scripts/deps.sh" --screens
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target pellavin pellavin_cursor_files >/dev/null
mkdir -p "$out"

size=1024x768
[[ "$scale" != 1 ]] && size=2048x1536
. "$root/scripts/lib.sh"
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; screen_stop; }
trap cleanup EXIT
screen_start "$size"

shot() { sleep 0.6; import -window root "$out/$1.png"; echo "$out/$1.png"; }
# Clicks at a point given relative to the top-left corner of the named window's client area,
# in the window's own (unscaled) pixels.
clickin() {
  local id x0 y0 x y
  id=$(xdotool search --onlyvisible --name "$1" | head -n 1)
  # xdotool counts the window manager's frame twice here; xwininfo places the window right.
  read -r x0 y0 < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }')
  x=$(awk -v o="$x0" -v d="$2" -v s="$scale" 'BEGIN { printf "%d", o + d * s }')
  y=$(awk -v o="$y0" -v d="$3" -v s="$scale" 'BEGIN { printf "%d", o + d * s }')
  xdotool mousemove "$x" "$y" click 1
}

# A window's title as the program shows it: the translation, from the first of the languages
# asked for that the program has, or the English.
title() {
  local code file text
  for code in ${language//:/ } "${lang%%[.@]*}"; do
    [[ "$code" == en* || "$code" == C || "$code" == POSIX ]] && break
    for file in "$root/i18n/pellavin_$code.ts" "$root/i18n/pellavin_${code%%_*}.ts"; do
      [[ -f "$file" ]] || continue
      text=$(grep -F -A3 "<source>$1</source>" "$file" | sed -n 's|.*<translation>\(.*\)</translation>.*|\1|p' | head -n 1)
      [[ -n "$text" ]] && { echo "${text//%1/Pellavin}"; return; }
    done
  done
  echo "${1//%1/Pellavin}"
}
# Through the menus by keyboard, so that it works whatever width the menu titles take: the first
# menu by its place, then as many menus to the right, and as many items down.
menu() {
  clickin "^Pellavin$" 15 10
  sleep 0.5
  for _ in $(seq "$1"); do xdotool key Right; sleep 0.4; done
  for _ in $(seq "$2"); do xdotool key Down; sleep 0.2; done
  xdotool key Return
}

# A KDE colour scheme, read by Qt itself on a Plasma desktop: window, view (text boxes), button
# and selection colours.
desktop=()
if [[ -n "$scheme" ]]; then
  case "$scheme" in
    high-contrast-black) back=0,0,0 fore=255,255,255 select=26,235,255 selected=0,0,0 inactive=63,242,63 ;;
    high-contrast-white) back=255,255,255 fore=0,0,0 select=55,0,110 selected=255,255,255 inactive=96,0,0 ;;
    *) echo "unknown scheme $scheme" >&2; exit 2 ;;
  esac
  config=$(mktemp -d)
  for group in Window View Button Tooltip Header; do
    printf '[Colors:%s]\nBackgroundNormal=%s\nBackgroundAlternate=%s\nForegroundNormal=%s\nForegroundInactive=%s\n\n' \
      "$group" "$back" "$back" "$fore" "$inactive"
  done >"$config/kdeglobals"
  printf '[Colors:Selection]\nBackgroundNormal=%s\nForegroundNormal=%s\n\n[General]\nColorScheme=%s\n' \
    "$select" "$selected" "$scheme" >>"$config/kdeglobals"
  desktop=(XDG_CONFIG_HOME="$config" XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5)
fi

cd "$build"
[[ "$scale" != 1 ]] && export QT_SCALE_FACTOR=$scale
# The language is the program's alone: the tools that drive it keep the script's own.
env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$lang" ${language:+LANGUAGE="$language"} "${desktop[@]}" \
  dbus-run-session -- ./pellavin >/dev/null 2>&1 &
pids+=($!)
sleep 1.5
shot splash
xdotool key a
waitfor "$(title "User Name Input")"
shot name-prompt
xdotool key Return
sleep 0.5
shot greeting
xdotool key Return
waitfor "^Pellavin$"
shot main
menu 2 0                        # Help, About
waitfor "$(title "About %1")"
shot about
xdotool key Escape              # the About box covers the main window's menus
sleep 0.3
menu 2 1                        # Help, Using this program
waitfor "$(title "Help using Pellavin")"
shot help
