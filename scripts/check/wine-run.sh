#!/usr/bin/env bash
# Runs a Windows program under Wine the way ctest runs a test program here (it is the cross
# build's CMAKE_CROSSCOMPILING_EMULATOR):
#   scripts/check/wine-run.sh program.exe [arguments...]
# Wine hands no QT_* variable of the Unix environment to a Windows program, so they are set
# inside it through cmd. WINEPREFIX must name a made prefix; WINEPATH should list the folders
# of Qt's and MinGW's libraries. Unix paths work as they are: Wine's drive Z: is the root.
set -euo pipefail
program=$(realpath -m "$1")
shift

wine=$(command -v wine || echo /usr/lib/wine/wine64)
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
: "${QT_QPA_FONTDIR:=Z:\\usr\\share\\fonts\\truetype\\liberation}"
# Qt Test writes to the debugger when it finds no console.
: "${QT_FORCE_STDERR_LOGGING:=1}"
export QT_QPA_FONTDIR QT_FORCE_STDERR_LOGGING

# The variables and the command go into a batch file: Wine would escape the quotes of a
# command line given to cmd directly. In quotes cmd's own characters stay themselves, but for
# "%", which is doubled.
batch=$(mktemp --suffix=.cmd)
trap 'rm -f "$batch"' EXIT
{
  echo "@echo off"
  while IFS= read -r -d '' pair; do
    name=${pair%%=*}
    [[ $name =~ ^(QT_|PELLAVIN_) ]] || continue
    value=${pair#*=}
    echo "set \"$name=${value//%/%%}\""
  done < <(env -0)
  command="\"Z:${program//\//\\}\""
  for arg in "$@"; do
    command+=" \"${arg//%/%%}\""
  done
  echo "$command"
  echo "exit %errorlevel%"
} | sed 's/$/\r/' >"$batch"
"$wine" cmd /c "Z:${batch//\//\\}"
