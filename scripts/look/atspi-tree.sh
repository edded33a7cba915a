#!/usr/bin/env bash
# Shows what a screen reader hears from Pellavin. Starts it on a virtual screen in a desktop
# session with the accessibility bus, gets past the splash window, the name prompt and the
# greeting, and prints the accessible tree of the main window as it arrives over AT-SPI; then
# answers wrongly once and prints the message box that is announced, and the answer box after
# it. ./scripts/look/atspi-tree.sh; with PELLAVIN_BUILD_DIR set, uses the program built there.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

if [[ "${1:-}" == --in-session ]]; then
  # Inside dbus-run-session, on the virtual screen: the bus, the program, the keys.
  . "$root/scripts/lib.sh"
  pids=()
  trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  pids+=($!)
  tree() { /usr/bin/python3 "$root/scripts/look/atspi-tree.py" "$@"; }
  # Presses a key until the named window has gone, or the program shows no box any more:
  # a key pressed while a window is still coming up can be lost.
  pressWhile() {
    local key=$1 window=$2
    for _ in $(seq 20); do
      if [[ "$window" == alert ]]; then tree has-alert || return 0
      else xdotool search --onlyvisible --name "$window" >/dev/null 2>&1 || return 0
      fi
      xdotool key "$key"
      sleep 0.5
    done
    echo "$window stayed up" >&2
    return 1
  }
  cd "$2"
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ./pellavin >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 150); do
    xdotool search --onlyvisible --class pellavin >/dev/null 2>&1 && break
    sleep 0.1
  done
  # A key on the splash window hands over to the name prompt.
  for _ in $(seq 20); do
    xdotool search --onlyvisible --name "User Name Input" >/dev/null 2>&1 && break
    xdotool key a
    sleep 0.5
  done
  waitfor "User Name Input" 1 150
  pressWhile Return "User Name Input"  # the default name
  for _ in $(seq 40); do tree has-alert && break; sleep 0.25; done
  pressWhile Return alert              # the greeting
  sleep 0.5
  echo "== main window"
  tree main
  xdotool type --delay 50 "x"
  xdotool key Return                   # a wrong answer: a box says so
  echo "== message box"
  tree alert
  pressWhile Return alert
  echo "== answer box, after the box"
  tree answer
  exit 0
fi

"$root/scripts/deps.sh" --screens
build=${PELLAVIN_BUILD_DIR:-$root/build}
. "$root/scripts/lib.sh"
program_build "$build"
trap screen_stop EXIT
screen_start
# D-Bus warns that it cannot raise its file limit; that is harmless.
timeout 120 dbus-run-session -- "$0" --in-session "$build" 2> >(grep -v 'fd limit' >&2)
