# Sourced by the scripts that show windows.
#   screen_start [WIDTHxHEIGHT]        (1024x768 by default) starts a virtual 96-dpi X server on
#     a free display with the openbox window manager, exports DISPLAY, and keeps both processes
#     in screen_pids; the sourcing script calls screen_stop when it exits. With PELLAVIN_SCREEN
#     naming the file scripts/check/x-screen.sh wrote, it takes the screen shared there instead
#     (when of that size), and screen_stop leaves it up.
#   waitfor [-q] NAME [COUNT] [TENTHS]  waits up to TENTHS tenths of a second (100) until COUNT
#     windows (1) whose title matches NAME are visible; says which it missed unless -q.
#   program_build BUILD  configures BUILD (RelWithDebInfo, without the tests) unless it is
#     configured already, keeping a folder's own settings, and builds the program there.
#   winpath PATH  the name Wine gives a Unix path (Z:\...).
#   keys KEY...  presses keys on the screen, then gives the program a moment to follow.
#   focus NAME  activates the first visible window whose title matches NAME.
#   cups_start DIR  starts a CUPS server of its own, with its configuration, spool and logs in
#     DIR, and cups-pdf as its default printer; exports CUPS_SERVER and leaves the server's
#     process number in DIR/cupsd.pid.
screen_pids=()

program_build() {
  local sources
  sources=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [[ ! -f "$1/CMakeCache.txt" ]]; then
    cmake -S "$sources" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  fi
  cmake --build "$1" --target pellavin pellavin_cursor_files >/dev/null
}

screen_start() {
  local size=${1:-1024x768} ready number shared_size
  if [[ -n ${PELLAVIN_SCREEN:-} ]]; then
    read -r number shared_size _ <"$PELLAVIN_SCREEN" ||
      { echo "PELLAVIN_SCREEN=$PELLAVIN_SCREEN names no shared screen" >&2; return 1; }
    if [[ $shared_size == "$size" ]]; then
      xdpyinfo -display ":$number" >/dev/null 2>&1 || { echo "the shared screen :$number is gone" >&2; return 1; }
      screen_env ":$number"
      return 0
    fi
  fi
  ready=$(mktemp)
  # The server picks a free display itself and writes its number once it takes connections.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  screen_pids+=($!)
  for _ in $(seq 100); do [[ -s "$ready" ]] && break; sleep 0.1; done
  number=$(head -n 1 "$ready")
  rm -f "$ready"
  [[ -n "$number" ]] || { echo "the virtual X server did not start" >&2; return 1; }
  screen_env ":$number"
  openbox >/dev/null 2>&1 &
  screen_pids+=($!)
  sleep 0.5
}

screen_env() {
  export DISPLAY=$1
  # What these scripts look for on screen is English; a script that wants another language
  # gives it to the program alone.
  export LANG=C.UTF-8
  unset LC_ALL LC_MESSAGES LANGUAGE
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

winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
keys() { xdotool key --clearmodifiers --delay 80 "$@"; sleep 0.6; }
focus() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [[ -n $id ]] && xdotool windowactivate --sync "$id" 2>/dev/null || true
}

cups_start() {
  local dir=$1
  mkdir -p "$dir/conf/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log"
  cat >"$dir/conf/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
SystemGroup root lpadmin
EOF
  chmod 640 "$dir/conf/"*.conf
  export CUPS_SERVER="$dir/cups.sock"
  cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" &
  echo $! >"$dir/cupsd.pid"
  # "lpstat -r" succeeds whether the server is up or not: read what it says.
  for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q "scheduler is running" && break; sleep 0.1; done
  lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
    { echo "the CUPS server took no PDF printer"; return 1; }
  lpadmin -d PDF
}
