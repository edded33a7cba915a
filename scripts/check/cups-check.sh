#!/usr/bin/env bash
# Prints from Pellavin to a real printer: starts a CUPS server of its own (on a private socket,
# so the machine's printers are left alone) with a PDF printer as the default, drives Pellavin
# on a virtual screen to a question, chooses Print twice and Exit, and checks that exactly one
# job came out as a PDF. Then, with the server stopped, chooses Print again and checks that a
# box says so and the session goes on.
#   ./scripts/check/cups-check.sh [build folder]
# Installs what it needs on Debian 12. Needs root: the PDF printer's backend runs as root.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# sudo starts from a clean environment: the variables this script and the ones it calls read
# are handed on by name.
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null ||
    { echo "cups: needs root (the PDF printer's backend runs as root), and there is no sudo"; exit 1; }
  exec sudo --preserve-env=PELLAVIN_APT_WAIT "$0" "$@"
fi

if [[ "${1:-}" != --session ]]; then
  build=$(realpath -m "${1:-$root/build}")
  "$root/scripts/deps.sh" --screens
  packages=(cups printer-driver-cups-pdf python3-pyatspi at-spi2-core dbus)
  . "$root/scripts/apt-install.sh"
  apt_install "${packages[@]}"
  # A build folder made already (by package-check.sh, say) keeps its settings.
  . "$root/scripts/lib.sh"
  program_build "$build"

  work=$(mktemp -d /tmp/pellavin-cups.XXXXXX)
  chmod 755 "$work"
  pids=()
  cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [[ -f "$work/cupsd.pid" ]] && kill "$(cat "$work/cupsd.pid")" 2>/dev/null || true
    rm -rf "$work"
  }
  trap cleanup EXIT

  screen_start
  pids+=("${screen_pids[@]}")

  # The server's configuration, spool and logs all live in the work folder.
  cups_start "$work" || exit 1
  export PELLAVIN_CUPS_WORK="$work"
  lpstat -r
  lpstat -d

  status=0
  (cd "$build" && timeout 300 dbus-run-session -- "$root/scripts/check/cups-check.sh" --session) || status=$?
  [[ $status -ne 0 ]] && { echo "--- cupsd log"; tail -20 "$work/log/error_log" || true; }
  exit "$status"
fi

# From here on: inside a D-Bus session, in the build folder, with the server up.
. "$root/scripts/lib.sh"
work=$PELLAVIN_CUPS_WORK
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
program=0
trap 'kill "$launcher" 2>/dev/null || true; [[ $program -ne 0 ]] && kill "$program" 2>/dev/null || true' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

passed=0
failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
# Keys go to the main window, whatever the window manager has focused.
keys() {
  local id
  id=$(xdotool search --onlyvisible --name '^Pellavin$' | head -n 1)
  xdotool windowactivate --sync "$id" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# Starts Pellavin and answers the splash window, the name prompt and the greeting.
startSession() {
  ./pellavin >"$work/pellavin.log" 2>&1 &
  program=$!
  for _ in $(seq 100); do
    xdotool search --onlyvisible --pid "$program" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 0.5
  xdotool key a
  waitfor -q "User Name Input" 1 50 || { fail "no name prompt"; return 1; }
  xdotool key Return
  sleep 0.5
  xdotool key Return
  waitfor -q '^Pellavin$' 1 50 || { fail "no main window"; return 1; }
  sleep 0.5
}

# Waits up to ten seconds for the program to end; its exit code, or 124.
waitExit() {
  for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || { wait "$program"; return $?; }
    sleep 0.1
  done
  return 124
}

# The texts of Pellavin's windows through the accessibility bus: "role|name|text" lines.
windowTexts() {
  /usr/bin/python3 - <<'EOF'
import pyatspi

def walk(node, window, depth=0):
    if node is None or depth > 20:
        return
    try:
        role = node.getRoleName()
        text = ""
        try:
            t = node.queryText()
            text = t.getText(0, t.characterCount)
        except NotImplementedError:
            pass
        print(f"{window}|{role}|{node.name}|{text}")
        for child in node:
            walk(child, window, depth + 1)
    except Exception:
        return

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and "pellavin" in (app.name or "").lower():
        for window in app:
            walk(window, f"{window.getRoleName()}:{window.name}")
EOF
}

jobs() { lpstat -W all -o 2>/dev/null | grep -c . || true; }
pdfs() { find "$HOME/PDF" -name '*.pdf' -newer "$work/marker" 2>/dev/null | grep -c . || true; }

echo "-- Print twice and Exit, with the PDF printer as the default"
touch "$work/marker"
sleep 1
if startSession; then
  keys ctrl+p
  sleep 0.5
  keys ctrl+p
  sleep 0.5
  [[ $(visible '^Pellavin$') -eq 1 ]] && pass "Print showed no box" || fail "Print showed a box"
  keys ctrl+x
  code=0
  waitExit || code=$?
  [[ $code -eq 0 ]] && pass "Exit ended the program" || fail "Exit: program still running or failed ($code)"
  program=0
  for _ in $(seq 300); do
    [[ $(pdfs) -ge 1 ]] && [[ -z $(lpstat -o 2>/dev/null) ]] && break
    sleep 0.1
  done
  sleep 2
  echo "jobs: $(lpstat -W all -o 2>/dev/null | tr '\n' ';')"
  [[ $(jobs) -eq 1 ]] && pass "exactly one print job" || fail "$(jobs) print jobs"
  [[ $(pdfs) -eq 1 ]] && pass "exactly one PDF came out" || fail "$(pdfs) PDF files came out"
  pdf=$(find "$HOME/PDF" -name '*.pdf' -newer "$work/marker" 2>/dev/null | head -n 1)
  [[ -n "$pdf" && $(head -c 5 "$pdf") == "%PDF-" ]] && pass "the job is a PDF: $pdf" || fail "the job's file is not a PDF"
fi

echo "-- Print with the server stopped"
cupsd=$(cat "$work/cupsd.pid")
kill "$cupsd"
for _ in $(seq 100); do kill -0 "$cupsd" 2>/dev/null || break; sleep 0.1; done
lpstat -r 2>&1 | grep -q 'is running' && fail "the server is still up"
if startSession; then
  keys ctrl+p
  if waitfor -q '^Pellavin$' 2 50; then
    pass "Print opened a second window titled Pellavin"
    sleep 0.5
    import -window root "$PWD/no-printer.png" 2>/dev/null && echo "screenshot: $PWD/no-printer.png"
    texts=$(windowTexts || true)
    if grep -q '|No printer is available, so nothing was printed.|' <<<"$texts" \
        || grep -q '|No printer is available, so nothing was printed.$' <<<"$texts"; then
      pass "the box says \"No printer is available, so nothing was printed.\""
    else
      fail "the box's text was not found"
      echo "$texts" | head -40
    fi
    xdotool key Return
    sleep 0.5
    [[ $(visible '^Pellavin$') -eq 1 ]] && pass "OK closed the box" || fail "the box stayed"
    kill -0 "$program" 2>/dev/null && pass "the session goes on" || fail "the program ended"
    # The session still answers its menus: Print again shows the box again.
    keys ctrl+p
    waitfor -q '^Pellavin$' 2 50 && pass "a second Print shows the box again" || fail "no box on a second Print"
    xdotool key Return
    sleep 0.3
  else
    fail "Print with no server showed no box"
  fi
  keys ctrl+x
  code=0
  waitExit || code=$?
  [[ $code -eq 0 ]] && pass "Exit ended the program" || fail "Exit: program still running or failed ($code)"
  program=0
fi

echo "cups: $passed passed, $failed failed"
[[ $failed -eq 0 ]] || { echo "--- pellavin log"; cat "$work/pellavin.log"; }
exit "$failed"
