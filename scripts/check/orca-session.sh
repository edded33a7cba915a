#!/usr/bin/env bash
# Runs a short session of Pellavin under the Orca screen reader and prints what Orca spoke:
# the splash window, the name prompt, the greeting, the first question, a wrong answer, a
# skipped question (skipping on until a subtraction comes up), a change of level and its new
# question, and the menu bar on F10. Orca speaks through speech-dispatcher and espeak-ng into a
# silent sound device.
#   ./scripts/check/orca-session.sh [--punctuation all|most|some|none]   (Orca's own default: most)
# It prints what Orca said, then what the synthesizer was given once speech-dispatcher had
# turned symbols into words for that punctuation level, then checks that the greeting, a
# subtraction with its "minus", the tries left, the question after a skip, the new level and
# the File menu were spoken ("orca: N passed, M failed"). With PELLAVIN_BUILD_DIR set, uses
# the program built there.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

punctuation=most
if [[ "${1:-}" == --punctuation ]]; then
  punctuation=${2:?all, most, some or none}
  shift 2
fi

if [[ "${1:-}" == --in-session ]]; then
  build=$2
  # The checks look for the English texts, of the program and of Orca.
  export LC_ALL=C.UTF-8 LANGUAGE=
  work=$(mktemp -d)
  pids=()
  trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  pids+=($!)

  # A speech server of our own: its own configuration, socket and log, and a sound device
  # that swallows everything (the default sound server output stalls where there is none).
  cp -r /etc/speech-dispatcher "$work/speechd"
  cat >>"$work/speechd/speechd.conf" <<'EOF'
AudioOutputMethod "alsa"
AudioALSADevice "null"
EOF
  mkdir -p "$work/speechd-log"
  speech-dispatcher -s -t 0 -l 5 -C "$work/speechd" -L "$work/speechd-log" \
    -S "$work/speechd.sock" -P "$work/speechd.pid" >/dev/null 2>&1 &
  pids+=($!)
  export SPEECHD_ADDRESS="unix_socket:$work/speechd.sock"

  # Orca's settings start fresh each run, with only the punctuation level set.
  declare -A style=([all]=0 [most]=1 [some]=2 [none]=3)
  level=${style[$punctuation]:?all, most, some or none}
  mkdir -p "$work/orca"
  cat >"$work/orca/user-settings.conf" <<EOF
{"general": {"verbalizePunctuationStyle": $level},
 "profiles": {"default": {"profile": ["Default", "default"], "verbalizePunctuationStyle": $level}},
 "pronunciations": {}, "keybindings": {}}
EOF
  # Orca writes its log buffered, and looks for other Orca processes of the same user to end
  # them or to refuse to start; this runs it with the log written line by line and leaves
  # every other session's Orca alone.
  cat >"$work/orca-run.py" <<'EOF'
import builtins, runpy, sys
log = sys.argv[1]
real_open = builtins.open
def line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
    if file == log and "w" in mode:
        buffering = 1
    return real_open(file, mode, buffering, *args, **kwargs)
builtins.open = line_buffered
sys.argv = ["orca", "-u", sys.argv[2], "--debug-file=" + log]
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
launcher["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(launcher["main"]())
EOF
  log=$work/orca.log
  touch "$log"
  /usr/bin/python3 "$work/orca-run.py" "$log" "$work/orca" >/dev/null 2>&1 &
  pids+=($!)

  spoken() { grep -a "SPEECH OUTPUT: '" "$log" | sed -E "s/^.*SPEECH OUTPUT: '(.*)' ?(voice=[a-z]+ ?)?[[{].*$/\1/"; }
  # Waits, bounded, until Orca has been silent for a second.
  said() { grep -ac "SPEECH OUTPUT" "$log" || true; }
  settle() {
    local last size quiet=0
    last=$(said)
    sleep 1
    for _ in $(seq 10); do
      size=$(said)
      if [[ "$size" == "$last" ]]; then
        quiet=$((quiet + 1))
        [[ $quiet -ge 2 ]] && return 0
      else
        quiet=0
      fi
      last=$size
      sleep 0.5
    done
  }
  key() { xdotool key "$@"; settle; }
  fail() { echo "orca-session: $*" >&2; exit 1; }

  for _ in $(seq 60); do grep -q "SPEECH OUTPUT" "$log" && break; sleep 0.5; done
  grep -q "SPEECH OUTPUT" "$log" || fail "Orca did not start speaking"
  settle

  cd "$build"
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ./pellavin >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 150); do
    xdotool search --onlyvisible --class pellavin >/dev/null 2>&1 && break
    sleep 0.1
  done
  settle
  visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
  # A key on the splash window hands over to the name prompt.
  for _ in $(seq 10); do visible "User Name Input" && break; key a; done
  visible "User Name Input" || fail "no name prompt"
  key Return                        # the default name; the greeting comes up
  key Return                        # closes the greeting: the main window and its question
  # The questions Orca read after the last "Are you sure" about skipping.
  afterSkip() { spoken | awk '/without answering/ { n = "" } /[0-9]+ [^ ]+ [0-9]+ = \?/ { n = n $0 "\n" } END { printf "%s", n }'; }
  key 9 9 Return                    # a wrong answer
  key Return                        # closes "Sorry, ... tries left."
  key Tab Tab                       # to Next Question
  # Skips once, and on until a subtraction is asked, so that its minus is heard.
  for i in $(seq 12); do
    [[ $i -gt 1 ]] && afterSkip | grep -qE ' (-|minus) ' && break
    key Return                      # Next Question, then OK in "Are you sure?"
    key Return
  done
  key ctrl+m                        # Intermediate
  key Return                        # OK in "Are you sure?"
  key F10                           # the menu bar, at File
  key Escape Escape
  xdotool key ctrl+x                # Exit
  sleep 1

  # What speech-dispatcher handed the synthesizer, once its symbol tables had turned
  # punctuation into words for the level asked.
  heard() {
    grep -a "Incoming text: |" "$work/speechd-log/speech-dispatcher.log" \
      | sed -E 's/^.*Incoming text: \|//; s/<[^>]*>//g; s/\|$//; s/&apos;/\x27/g; s/&quot;/"/g; s/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g; s/ +/ /g; s/^ //; s/ $//'
  }
  echo "== what Orca said"
  spoken
  echo "== what the synthesizer was given, at punctuation level $punctuation"
  heard

  passed=0 failed=0
  check() {
    if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "NOT SPOKEN: $1"; fi
  }
  # The lines Orca said after the first line matching $1, up to the next line matching $2.
  between() { spoken | awk -v from="$1" -v to="$2" 'on && $0 ~ to { exit } on { print } $0 ~ from { on = 1 }'; }
  check "the greeting" grep -q "Welcome to Pellavin, Pellavin User! " <(spoken)
  check "a subtraction, with its minus" grep -qE "[0-9]+ minus [0-9]+" <(heard)
  check "the tries left" grep -qF "Try again, you have 3 tries left." <(spoken)
  check "the new question after a skip" grep -qE '[0-9]+ [^ ]+ [0-9]+ = \?' \
    <(between "without answering" "Are you sure")
  check "the level and the questions of the new session" grep -qE "Intermediate.*20 questions" \
    <(between "change difficulties" "^$")
  check "the File menu on F10" grep -q "^File" <(between "^F10" "escape")
  echo "orca: $passed passed, $failed failed"
  [[ $failed -eq 0 ]]
  exit
fi

"$root/scripts/deps.sh" --orca
build=${PELLAVIN_BUILD_DIR:-$root/build}
. "$root/scripts/lib.sh"
program_build "$build"
trap screen_stop EXIT
screen_start
# D-Bus warns that it cannot raise its file limit; that is harmless.
timeout 300 dbus-run-session -- "$0" --punctuation "$punctuation" --in-session "$build" \
  2> >(grep -v 'fd limit' >&2)
