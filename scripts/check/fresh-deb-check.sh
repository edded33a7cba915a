#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 system with apt-get, starts Pellavin there
# on a virtual screen of this machine, photographs the splash window and the main window, and
# checks that removing the package leaves no file behind.
#   ./scripts/check/fresh-deb-check.sh [package] [screenshot folder] [fresh-machine tool]
# Needs root, and the fresh-machine tool: a script kept outside the repository that starts a
# clean Debian 12 system; by default the one at ../shared/tools/fresh-machine.sh beside the clone.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(realpath "${1:-$root/build-package/pellavin_$(<"$root/build-package/pellavin-version")_amd64.deb}")
out=$(realpath -m "${2:-$root/build-package/fresh-screenshots}")
tool=$(realpath "${3:-$root/../shared/tools/fresh-machine.sh}")
run=${FRESH_RUN:-/var/tmp/fresh-run}
export FRESH_RUN=$run
"$root/scripts/deps.sh" --screens
mkdir -p "$out"

. "$root/scripts/lib.sh"
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; screen_stop; }
trap cleanup EXIT
screen_start

# This side drives the program and photographs it once the fresh system says it has started.
# The signal files carry this run's own name, as a folder left from an earlier run may still
# hold its files until the fresh-machine tool replaces it.
token=$$-$RANDOM
started="tmp/pellavin-started-$token"
photographed="tmp/pellavin-photographed-$token"
drive() {
  for _ in $(seq 900); do [[ -e "$run/$started" ]] && break; sleep 1; done
  [[ -e "$run/$started" ]] || return 0
  sleep 3
  import -window root "$out/fresh-splash.png"
  xdotool key a
  for _ in $(seq 200); do xdotool search --onlyvisible --name "User Name Input" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1.5
  import -window root "$out/fresh-name-prompt.png"
  xdotool key Return
  sleep 0.8
  xdotool key Return
  for _ in $(seq 100); do xdotool search --onlyvisible --name "^Pellavin$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  import -window root "$out/fresh-main.png"
  touch "$run/$photographed"
}
drive &
pids+=($!)

# shellcheck disable=SC2016
fresh_cmd='set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
cd /root
apt-get install -y -qq ./'"$(basename "$deb")"' >/tmp/apt.log 2>&1 || { tail -20 /tmp/apt.log; exit 1; }
echo "installed: $(dpkg-query -W -f="\${Package} \${Version}" pellavin)"
dpkg -L pellavin | sort > /tmp/package-files
cd /usr/share/pellavin
DISPLAY='"$display"' pellavin >/tmp/pellavin.log 2>&1 &
program=$!
touch /'"$started"'
for _ in $(seq 60); do [ -e /'"$photographed"' ] && break; sleep 1; done
[ -e /'"$photographed"' ] || { echo "no photographs were taken"; exit 1; }
kill -0 $program && echo "pellavin: running after the photographs" || { echo "pellavin: stopped"; cat /tmp/pellavin.log; exit 1; }
kill $program; wait $program 2>/dev/null || true
cd /
# A second install and purge, with the libraries already in place, shows what the package
# itself leaves.
apt-get purge -y -qq pellavin >/dev/null
snapshot() { find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log -o -path /root/project \) -prune -o -print | sort; }
snapshot > /tmp/before
apt-get install -y -qq /root/'"$(basename "$deb")"' >/dev/null
snapshot > /tmp/installed
echo "files and folders the package adds: $(comm -13 /tmp/before /tmp/installed | wc -l)"
apt-get purge -y -qq pellavin >/dev/null
snapshot > /tmp/after
left=$(comm -13 /tmp/before /tmp/after)
stray=$(while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done < /tmp/package-files)
if [ -n "$left$stray" ]; then echo "left behind after purge:"; echo "$left$stray"; exit 1; fi
echo "purge left nothing behind"'
bash "$tool" -f "$deb" "$fresh_cmd"
ls "$out"/fresh-*.png
