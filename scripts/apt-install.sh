# Sourced by the scripts that install Debian packages. apt_install PACKAGE... installs those
# that are missing, through sudo when not root, with one line for each step; apt's own output
# is shown only when a step fails.
#
# Another program that installs packages (a background update on a desktop, say) holds apt's
# locks while it runs. apt_install waits for it, up to PELLAVIN_APT_WAIT seconds (600), and
# says so, instead of failing at once.

apt_wait_limit=${PELLAVIN_APT_WAIT:-600}

# Prints "NAME (process PID)" for a program holding one of apt's locks; nothing when none does.
apt_lock_holder() {
  local lock inode pid
  for lock in /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock \
              /var/cache/apt/archives/lock; do
    inode=$(stat -c %i "$lock" 2>/dev/null) || continue
    # /proc/locks: "1: POSIX  ADVISORY  WRITE PID MAJOR:MINOR:INODE START END"; lines with
    # "->" are programs waiting for a lock, not holding it.
    pid=$(awk -v inode="$inode" '$2 != "->" { split($6, id, ":"); if (id[3] == inode) { print $5; exit } }' \
      /proc/locks 2>/dev/null)
    if [[ -n $pid ]]; then
      echo "$(cat "/proc/$pid/comm" 2>/dev/null || echo "another program") (process $pid)"
      return
    fi
  done
}

# Waits until apt's locks are free, saying once whom it waits for.
apt_wait_for_locks() {
  local holder waited=0 told=""
  while holder=$(apt_lock_holder); [[ -n $holder ]]; do
    if [[ -z $told ]]; then
      echo "Waiting for $holder to release the package lock (up to $((apt_wait_limit / 60)) min)"
      told=1
    fi
    if ((waited >= apt_wait_limit)); then
      echo "The package lock is still held by $holder; try again once it has finished." >&2
      return 1
    fi
    sleep 2
    waited=$((waited + 2))
  done
}

# Runs one apt-get step with its output in a log; on failure prints apt's errors. A lock taken
# by another program between the wait and the step sends it back to waiting.
apt_step() {
  local log status tries=0
  log=$(mktemp)
  while :; do
    apt_wait_for_locks || { rm -f "$log"; return 1; }
    status=0
    $apt_sudo env DEBIAN_FRONTEND=noninteractive apt-get -q -y \
      -o DPkg::Lock::Timeout="$apt_wait_limit" "$@" </dev/null >"$log" 2>&1 || status=$?
    if ((status != 0)) && grep -q "Could not get lock" "$log" && ((++tries < 5)); then
      continue
    fi
    break
  done
  if ((status != 0)); then
    echo "apt-get $1 failed:" >&2
    grep -E '^(E:|W:|Err:|dpkg: )' "$log" >&2 || tail -n 20 "$log" >&2
  fi
  rm -f "$log"
  return "$status"
}

apt_install() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  apt_sudo=""
  [[ $(id -u) -ne 0 ]] && apt_sudo="sudo"
  echo "Updating the package lists"
  apt_step update || return 1
  echo "Installing ${missing[*]}"
  apt_step install --no-install-recommends "${missing[@]}"
}
