#!/usr/bin/env bash
# Runs a command in the time a CI run has left for it, so that a slow step fails and says so
# instead of the whole run being cut off at its limit. .ci/run sets PELLAVIN_CI_END (seconds
# since the epoch when its time is up); from what is left go the minutes of the steps still to
# come (--after) and a 10-minute margin. Run by hand, without PELLAVIN_CI_END, nothing is limited.
#   ./scripts/check/ci-budget.sh [--after MINUTES] [--need MINUTES] [--at-least MINUTES] -- COMMAND...
# --need: fail without starting when less is left (exit 3). --at-least: give the command that
# long even when less is left.
set -euo pipefail
after=0 need=0 least=0
while [[ $# -gt 0 && $1 != -- ]]; do
  case $1 in
    --after) after=$2 ;;
    --need) need=$2 ;;
    --at-least) least=$2 ;;
    *) echo "ci-budget.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
[[ ${1:-} == -- && $# -ge 2 ]] || { echo "ci-budget.sh: no command after --" >&2; exit 2; }
shift

[[ -z ${PELLAVIN_CI_END:-} ]] && exec "$@"
left=$((PELLAVIN_CI_END - $(date +%s) - after * 60 - 10 * 60))
if ((left < need * 60)); then
  echo "$1 needs about $need minutes, and the CI run has $((left > 0 ? left / 60 : 0)) left for it \
($after for the steps after it and a 10-minute margin kept back)"
  exit 3
fi
budget=$((left > least * 60 ? left : least * 60))
status=0
timeout "$budget" "$@" || status=$?
[[ $status -eq 124 ]] && echo "$1 did not finish in the $((budget / 60)) minutes it had"
exit "$status"
