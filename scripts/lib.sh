# Sourced by the scripts that show windows.
#   screen_start [WIDTHxHEIGHT]        (1024x768 by default) starts a virtual 96-dpi X server on
#     a free display with the openbox window manager, exports DISPLAY, and keeps both processes
#     in screen_pids; the sourcing script calls screen_stop when it exits.
#   waitfor [-q] NAME [COUNT] [TENTHS]  waits up to TENTHS tenths of a second (100) until COUNT
#     windows (1) whose title matches NAME are visible; says which it missed unless -q.
screen_pids=()

screen_start() {
  local size=${1:-1024x768} ready number
  ready=$(mktemp)
  # The server picks a free display itself and writes its number once it takes connections.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  screen_pids+=($!)
  for _ in $(seq 100); do [[ -s "$ready" ]] && break; sleep 0.1; done
  number=$(head -n 1 "$ready")
  rm -f "$ready"
  [[ -n "$number" ]] || { echo "the virtual X server did not start" >&2; return 1; }
  export DISPLAY=:$number
  # What these scripts look for on screen is English; a script that wants another language
  # gives it to the program alone.
  export LANG=C.UTF-8
  unset LC_ALL LC_MESSAGES LANGUAGE
  openbox >/dev/null 2>&1 &
  screen_pids+=($!)
  sleep 0.5
}

screen_stop() {
  kill "${screen_pids[@]}" 2>/dev/null || true
}

# Windows come and go while xdotool searches, so it may fail on one that just went: try again.
# xdotool matches titles bytewise: letters beyond ASCII match as any bytes.
waitfor() {
  local quiet='' pattern
  [[ $1 == -q ]] && { quiet=1; shift; }
  pattern=$(LC_ALL=C sed 's/[^ -~]\{1,\}/.*/g' <<<"$1")
  for _ in $(seq "${3:-100}"); do
    [[ $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | wc -l) -ge ${2:-1} ]] && return 0
    sleep 0.1
  done
  [[ -n $quiet ]] || echo "no window named $1" >&2
  return 1
}
