#!/usr/bin/env bash
# A virtual screen (Xvfb with openbox, as lib.sh's screen_start makes one) shared by the window
# and accessibility checks, which take it through PELLAVIN_SCREEN: CTest's fixture x_screen.
#   ./scripts/check/x-screen.sh start FILE   starts it, left running, and writes into FILE its
#                                            display number, its size and its processes
#   ./scripts/check/x-screen.sh stop FILE    stops the screen FILE describes
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
file=${2:?the file that describes the screen}
case ${1:-} in
  start)
    "$root/scripts/deps.sh" --screens
    unset PELLAVIN_SCREEN
    . "$root/scripts/lib.sh"
    screen_start
    echo "${DISPLAY#:} 1024x768 ${screen_pids[*]}" >"$file"
    echo "the shared screen: $DISPLAY"
    ;;
  stop)
    read -r number _ pids <"$file" || { echo "$file describes no screen" >&2; exit 1; }
    # shellcheck disable=SC2086 # the processes, one word each
    kill $pids 2>/dev/null || true
    rm -f "$file"
    echo "the shared screen :$number stopped"
    ;;
  *) echo "x-screen.sh start|stop FILE" >&2; exit 2 ;;
esac
