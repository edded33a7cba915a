#!/usr/bin/env bash
# Runs Pellavin under weston, the reference Wayland compositor:
#  1. weston with no screen (its headless backend): Pellavin started as a Wayland program puts
#     up its splash window at its size, and prints nothing on its error output;
#  2. weston nested in a virtual X screen, which gives it a keyboard: a short session typed
#     with xdotool and read back over AT-SPI, first as a Wayland program, then as an X program
#     on XWayland.
# Photographs of each are left in the work folder.
#   ./scripts/check/wayland-check.sh [build folder] [work folder]
# Installs what it needs on Debian 12 (through sudo when not root).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

passed=0
failed=0
check() {
  if [[ $1 == ok ]]; then passed=$((passed + 1)); echo "ok: $2"
  else failed=$((failed + 1)); echo "FAIL: $2"; fi
}
# Waits up to $1 tenths of a second for the command that follows to succeed.
within() {
  local tenths=$1; shift
  for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# What the program printed on its error output, less the lines of D-Bus about its file limit.
errors_of() { grep -v 'fd limit' "$1" || true; }

if [[ "${1:-}" == --nested ]]; then
  # Inside dbus-run-session: weston nested in the X screen $DISPLAY, the accessibility bus,
  # and one session as a Wayland program and one as an X program.
  build=$2 work=$3
  pids=()
  trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
  outer=$DISPLAY
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  pids+=($!)
  weston --backend=x11-backend.so --use-pixman --xwayland --socket=pellavin-nested \
    --width=1024 --height=768 --idle-time=0 >"$work/weston-nested.log" 2>&1 &
  pids+=($!)
  within 100 test -S "$XDG_RUNTIME_DIR/pellavin-nested" || { echo "FAIL: nested weston did not start"; exit 1; }
  within 100 grep -q "xserver listening on display" "$work/weston-nested.log"
  xwayland=$(grep -o "xserver listening on display :[0-9]*" "$work/weston-nested.log" | grep -o ":[0-9]*$")
  # The pointer rests on weston's desktop, clear of where windows open; keys go where weston
  # sends them.
  xdotool mousemove 1010 750

  session() {
    local name=$1; shift
    (cd "$build" && exec env "$@" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ./pellavin >/dev/null 2>"$work/$name.err") &
    local program=$!
    DISPLAY=$outer /usr/bin/python3 "$root/scripts/check/wayland-session.py" "$name" | tee "$work/$name.log" || true
    sleep 0.5
    import -display "$outer" -window root "$work/$name.png"
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    sleep 0.5
    local err
    err=$(errors_of "$work/$name.err")
    if [[ -z $err ]]; then echo "ok: $name: nothing on the error output"
    else echo "FAIL: $name: on the error output:"; echo "$err"; fi
  }
  session "wayland-nested" WAYLAND_DISPLAY=pellavin-nested QT_QPA_PLATFORM=wayland
  session "xwayland" DISPLAY="$xwayland" QT_QPA_PLATFORM=xcb
  exit 0
fi

build=$(realpath -m "${1:-$root/build}")
work=$(realpath -m "${2:-$build/wayland-check}")
"$root/scripts/deps.sh" --screens
. "$root/scripts/apt-install.sh"
apt_install weston xwayland qt6-wayland dbus
. "$root/scripts/lib.sh"
program_build "$build"
mkdir -p "$work"
rm -f "$work"/*.png "$work"/*.err "$work"/*.log

# A private runtime folder, as a desktop session has, for weston's sockets.
runtime=$(mktemp -d /tmp/pellavin-wayland.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  [[ -n ${screen_pid:-} ]] && kill "$screen_pid" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

echo "-- weston, headless: Pellavin as a Wayland program"
weston --backend=headless-backend.so --use-pixman --socket=pellavin-headless --width=1024 \
  --height=768 --idle-time=0 --debug >"$work/weston-headless.log" 2>&1 &
weston_pid=$!
pids+=("$weston_pid")
if within 100 test -S "$runtime/pellavin-headless"; then
  export WAYLAND_DISPLAY=pellavin-headless
  (cd "$build" && QT_QPA_PLATFORM=wayland exec ./pellavin >/dev/null 2>"$work/headless.err") &
  program=$!
  pids+=("$program")
  # weston's scene graph lists each window with the program it belongs to and where it is.
  splash_size() {
    timeout 3 weston-debug scene-graph 2>/dev/null | awk '
      /role xdg_toplevel.* of pellavin/ { found = 1; next }
      found && /position:/ { gsub(/[(),>-]/, " "); print $4 - $2 "x" $5 - $3; exit }'
  }
  size=""
  for _ in $(seq 50); do size=$(splash_size); [[ -n $size ]] && break; sleep 0.2; done
  [[ $size == 492x279 ]] && check ok "headless: the splash window is up, 492x279" \
    || check fail "headless: no splash window of 492x279 (${size:-none})"
  sleep 2
  (cd "$work" && timeout 10 weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot-*.png headless.png) || true
  kill -0 "$program" 2>/dev/null && check ok "headless: Pellavin still runs" || check fail "headless: Pellavin ended"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  err=$(errors_of "$work/headless.err")
  [[ -z $err ]] && check ok "headless: nothing on the error output" \
    || { check fail "headless: on the error output:"; echo "$err"; }
  unset WAYLAND_DISPLAY
else
  check fail "headless: weston did not start (see $work/weston-headless.log)"
fi
kill "$weston_pid" 2>/dev/null || true

echo "-- weston nested in a virtual X screen: a session typed on its keyboard"
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
screen_pid=$!
within 100 test -s "$ready"
export DISPLAY=:$(head -n 1 "$ready")
rm -f "$ready"
nested=$(timeout 240 dbus-run-session -- "$0" --nested "$build" "$work" 2>&1 | grep -v 'fd limit' || true)
echo "$nested"
passed=$((passed + $(grep -c '^ok: ' <<<"$nested" || true)))
failed=$((failed + $(grep -c '^FAIL: ' <<<"$nested" || true)))
# Each session has ten steps and its error output: a step never reached counts as failed.
expected=$((2 * 11))
reached=$(grep -cE '^(ok|FAIL): ' <<<"$nested" || true)
if ((reached < expected)); then
  check fail "nested: $((expected - reached)) steps were never reached"
  failed=$((failed + expected - reached - 1))
fi
echo "photographs: $(cd "$work" && ls ./*.png 2>/dev/null | tr '\n' ' ')"
echo "wayland: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
