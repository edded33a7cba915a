#!/usr/bin/env bash
# Measures Pellavin against the floor, a Qt Widgets program of one window holding one label,
# and against references that do what its splash window and idle main window visibly do, all
# built in Release with the same compiler and flags, on one virtual 96-dpi screen without a
# window manager, taking runs of the programs in turn: ./scripts/look/bench.sh
# The pass marks for start-up are instructions counted by callgrind, the same on every run;
# wall and CPU times, which other programs' load moves by a third, are shown for information.
# BENCH_RUNS (default 7) and BENCH_IDLE (seconds of idle CPU measured, default 20) change the
# run; PELLAVIN_BENCH_DIR the build folder (build-bench). With --instructions it only counts
# the instructions, in a minute; the profiles stay in the build folder's profiles/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${BENCH_RUNS:-7}
idle=${BENCH_IDLE:-20}

if [[ -z "${PELLAVIN_BENCH_INSIDE:-}" ]]; then
  "$root/scripts/deps.sh" --bench
  build=${PELLAVIN_BENCH_DIR:-"$root/build-bench"}
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DPELLAVIN_BENCH=ON >/dev/null
  cmake --build "$build" -j 2 --target pellavin pellavin_cursor_files pellavin_bench_floor \
    pellavin_bench_splashlike pellavin_bench_idlelike pellavin_bench_driver pellavin_bench_harness >/dev/null

  # No window manager: a window is on screen when the X server maps it, not when a window
  # manager gets round to it, and the driver gives the focus itself.
  display=:$((300 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  # One session bus for every run, as a desktop session has: no program starts one of its own.
  PELLAVIN_BENCH_INSIDE=1 BENCH_BUILD="$build" dbus-run-session -- "$0" "$@" 2> >(grep -v -i dbus >&2)
  exit $?
fi

build=$BENCH_BUILD
cd "$build"
export QT_QPA_PLATFORM=xcb
results=$(mktemp)
trap 'rm -f "$results"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

one() { # one floor|idlelike|pellavin IDLE
  local line
  if [[ $1 == floor ]]; then
    line=$(./pellavin_bench_driver floor "$2" -- ./pellavin_bench_floor 2>/dev/null)
  elif [[ $1 == idlelike ]]; then
    line=$(./pellavin_bench_driver reference "$2" -- ./pellavin_bench_idlelike 2>/dev/null)
  else
    line=$(./pellavin_bench_driver pellavin "$2" -- ./pellavin 2>/dev/null)
  fi
  if [[ $line == *error=* ]]; then
    echo "$1: $line" >&2
    exit 1
  fi
  echo "$1 $line"
}

value() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# Instructions from exec to the first window's first map and to its first picture, counted by
# callgrind, which writes one profile part at each of these X calls. Every program paints
# without X shared memory, as Pellavin does (it sets QT_XCB_NO_MITSHM itself): one image
# request per picture. The first picture is the first image sent after Qt Widgets began
# painting (earlier ones are cursors). Prints "map=N picture=N".
count() { # count NAME PROGRAM
  local out=$profiles/$1 pid map= picture= painted= total=0 part trigger
  QT_XCB_NO_MITSHM=1 valgrind --tool=callgrind --callgrind-out-file="$out.%p" \
    --dump-before=xcb_map_window --dump-before=xcb_put_image --dump-before=xcb_shm_put_image \
    "./$2" >/dev/null 2>&1 &
  pid=$!
  # A part holds what ran since the one before; the program is stopped once its first
  # picture has gone out.
  for _ in $(seq 1200); do
    for part in $(ls "$out.$pid".* 2>/dev/null | sort -t. -k3 -n); do
      [[ " $done_parts " == *" $part "* ]] && continue
      grep -q '^totals:' "$part" || break
      done_parts+=" $part"
      total=$((total + $(sed -n 's/^totals: //p' "$part")))
      trigger=$(sed -n 's/^desc: Trigger: //p' "$part")
      grep -q 'QWidgetRepaintManager::paintAndFlush' "$part" && painted=1
      [[ -z $map && $trigger == *xcb_map_window* ]] && map=$total
      if [[ -z $picture && -n $painted && $trigger == *put_image* ]]; then
        picture=$total
        break 2
      fi
    done
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  done_parts=
  [[ -n $map && -n $picture ]] || { echo "$1: no picture counted under callgrind" >&2; exit 1; }
  echo "map=$map picture=$picture"
}
profiles=${PELLAVIN_BENCH_PROFILES:-$build/profiles}
rm -rf "$profiles"
mkdir -p "$profiles"
done_parts=
# Instructions over the idle time, Pellavin with a question on screen and the pointer over it,
# the idle reference likewise; callgrind's counts are zeroed as it begins and written as it
# ends (see bench/driver.cpp). Prints the instructions.
# For Pellavin, the same run counts the hand-over too: from the splash window's key handler to
# the next window mapped, the name prompt. Prints "idle=N" and, for Pellavin, "handover=N".
idle_count() { # idle_count NAME MODE PROGRAM
  local out=$profiles/idle-$1 line part trigger sum= handover=
  line=$(BENCH_CALLGRIND=1 ./pellavin_bench_driver "$2" "$idle" -- valgrind --tool=callgrind \
    --callgrind-out-file="$out.%p" --dump-before='frmSplash::Form_KeyPress*' \
    --dump-before=xcb_map_window "./$3" 2>/dev/null)
  [[ $line == *error=* ]] && { echo "idle $1 under callgrind: $line" >&2; exit 1; }
  for part in $(ls "$out".*.* | sort -t. -k3 -n); do
    trigger=$(sed -n 's/^desc: Trigger: //p' "$part")
    # The part the driver asked for was zeroed at the start of the idle time.
    [[ $trigger == dump ]] && echo -n "idle=$(sed -n 's/^summary: //p' "$part") "
    if [[ -n $sum && -z $handover ]]; then
      sum=$((sum + $(sed -n 's/^summary: //p' "$part")))
      [[ $trigger == *xcb_map_window* ]] && handover=$sum
    fi
    [[ $trigger == *Form_KeyPress* ]] && sum=0
  done
  echo "handover=${handover:-0}"
}
floor_count=$(count floor pellavin_bench_floor)
splashlike_count=$(count splashlike pellavin_bench_splashlike)
pellavin_count=$(count pellavin pellavin)
idlelike_ir=$(value "$(idle_count idlelike reference pellavin_bench_idlelike)" idle)
pellavin_idle_count=$(idle_count pellavin pellavin pellavin)
pellavin_ir=$(value "$pellavin_idle_count" idle)
handover_ir=$(value "$pellavin_idle_count" handover)
echo "instructions: floor $floor_count; splash-like $splashlike_count; Pellavin $pellavin_count; idle over $idle s: idle-like $idlelike_ir, Pellavin $pellavin_ir; hand-over $handover_ir" >&2
if [[ ${1:-} == --instructions ]]; then
  awk -v f="$(value "$floor_count" picture)" -v r="$(value "$splashlike_count" picture)" \
      -v p="$(value "$pellavin_count" picture)" -v ri="$idlelike_ir" -v pi="$pellavin_ir" -v h="$handover_ir" 'BEGIN {
    printf "first picture: floor %.2f M, splash-like %.2f M, Pellavin %.2f M: %.3fx floor, %.3fx splash-like\n", f / 1e6, r / 1e6, p / 1e6, p / f, p / r
    printf "idle: idle-like %.2f M, Pellavin %.2f M: %.3fx idle-like\n", ri / 1e6, pi / 1e6, pi / ri
    printf "hand-over: %.2f M: %.3fx the floor to its first picture\n", h / 1e6, h / f }'
  echo "profiles in $profiles"
  exit 0
fi

# Warm the disk cache and fontconfig's for each; these runs are not counted.
one floor 0 >/dev/null
one idlelike 0 >/dev/null
one pellavin 0 >/dev/null
for i in $(seq "$runs"); do
  one floor "$idle" >>"$results"
  one idlelike "$idle" >>"$results"
  one pellavin "$idle" >>"$results"
  echo "run $i of $runs: $(tail -n 3 "$results" | tr '\n' ' ')" >&2
done
answer=$(./pellavin_bench_harness answer 200 2>/dev/null)
soak=$(./pellavin_bench_harness soak 10000 "${BENCH_SEED:-$RANDOM}" 2>/dev/null)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The median of one key over one program's runs.
median() {
  grep "^$1 " "$results" | tr ' ' '\n' | sed -n "s/^$2=//p" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

fs=$(median floor startup_ms); ps=$(median pellavin startup_ms)
fsc0=$(median floor startup_cpu_ms); psc0=$(median pellavin startup_cpu_ms)
ph=$(median pellavin handover_ms)
fm=$(median floor hwm_kb); pm=$(median pellavin hwm_kb)
fc=$(median floor idle_cpu_pct); pc=$(median pellavin idle_cpu_pct)
fsc=$(median floor idle_sched_pct); psc=$(median pellavin idle_sched_pct)
rc=$(median idlelike idle_cpu_pct); rsc=$(median idlelike idle_sched_pct)
fi_map=$(value "$floor_count" map); fi_pic=$(value "$floor_count" picture)
ri_pic=$(value "$splashlike_count" picture)
pi_map=$(value "$pellavin_count" map); pi_pic=$(value "$pellavin_count" picture)
am=$(value "$answer" answer_ms); ax=$(value "$answer" answer_max_ms)
growth=$(value "$soak" soak_growth_kb); raw=$(value "$soak" soak_raw_growth_kb)
start=$(value "$soak" soak_start_kb); pasted=$(value "$soak" soak_pasted_kb); seed=$(value "$soak" seed)

echo
echo "Medians of $runs runs each, floor, idle reference and Pellavin in turn; instructions from one run each under callgrind; load average $load_before before, $load_after after."
echo
awk -v fs="$fs" -v ps="$ps" -v ph="$ph" -v fm="$fm" -v pm="$pm" -v fc="$fc" -v pc="$pc" \
    -v fsc="$fsc" -v psc="$psc" -v am="$am" -v ax="$ax" -v growth="$growth" -v idle="$idle" \
    -v seed="$seed" -v fsc0="$fsc0" -v psc0="$psc0" -v raw="$raw" -v start="$start" \
    -v pasted="$pasted" -v rc="$rc" -v rsc="$rsc" -v fi_map="$fi_map" -v fi_pic="$fi_pic" \
    -v ri_pic="$ri_pic" -v pi_map="$pi_map" -v pi_pic="$pi_pic" -v ri_idle="$idlelike_ir" \
    -v pi_idle="$pellavin_ir" -v ho_ir="$handover_ir" 'BEGIN {
  met = "met"; not = "NOT MET"
  print "| figure | floor | reference | Pellavin | ratio | target | |"
  print "|---|---|---|---|---|---|---|"
  printf "| instructions, exec to first window mapped | %.1f M | - | %.1f M | %.2fx floor | (information) | |\n", fi_map / 1e6, pi_map / 1e6, pi_map / fi_map
  printf "| instructions, exec to first window first picture | %.1f M | %.1f M (splash-like) | %.1f M | %.2fx floor | (information) | |\n", fi_pic / 1e6, ri_pic / 1e6, pi_pic / 1e6, pi_pic / fi_pic
  printf "| the same, against the splash-like reference | | | | %.2fx reference | <= 1.05x | %s |\n", pi_pic / ri_pic, (pi_pic <= 1.05 * ri_pic) ? met : not
  printf "| start-up wall time (exec to splash window mapped) | %.1f ms | - | %.1f ms | %.2fx floor | (information) | |\n", fs, ps, ps / fs
  printf "| start-up CPU time (all threads, to the same map) | %.1f ms | - | %.1f ms | %.2fx floor | (information) | |\n", fsc0, psc0, psc0 / fsc0
  printf "| instructions, hand-over (key handler on splash to name prompt mapped) | - | - | %.1f M | %.2fx floor to first picture | <= 0.50x | %s |\n", ho_ir / 1e6, ho_ir / fi_pic, (ho_ir <= 0.5 * fi_pic) ? met : not
  printf "| hand-over wall time (key on splash to name prompt mapped) | - | - | %.1f ms | %.2fx floor start-up | (information) | |\n", ph, ph / fs
  printf "| peak memory (VmHWM, question on screen) | %.1f MB | - | %.1f MB | %.2fx floor | <= 1.20x | %s |\n", fm / 1024, pm / 1024, pm / fm, (pm <= 1.2 * fm) ? met : not
  printf "| instructions over %d s idle (callgrind) | - | %.2f M (idle-like) | %.2f M | %.2fx reference | <= 1.20x | %s |\n", idle, ri_idle / 1e6, pi_idle / 1e6, pi_idle / ri_idle, (pi_idle <= 1.2 * ri_idle) ? met : not
  printf "| idle CPU over %d s (utime+stime) | %.3f %% | %.3f %% (idle-like) | %.3f %% | %s | (information) | |\n", idle, fc, rc, pc, (rc > 0) ? sprintf("%.2fx reference", pc / rc) : "-"
  printf "| idle CPU over %d s (scheduler, ns) | %.3f %% | %.3f %% (idle-like) | %.3f %% | %s | <= 1.20x | %s |\n", idle, fsc, rsc, psc, (rsc > 0) ? sprintf("%.2fx reference", psc / rsc) : "-", (rsc > 0 && psc <= 1.2 * rsc) ? met : not
  printf "| answer (Enter on a right answer to next question painted; harness) | - | - | %.2f ms (max %.1f) | - | report | |\n", am, ax
  printf "| soak (resident growth over 10,000 random events; harness, seed %s) | - | - | %d KB | - | < 1024 KB | %s |\n", seed, growth, (growth < 1024) ? met : not
  printf "\nSoak: %d KB growth before the allocator trims its free memory; the answer box held %d KB more after four megabytes pasted over each other (%d KB before them), kept for the rest of the run.\n", raw, pasted - start, start
}'
