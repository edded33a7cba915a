#!/usr/bin/env bash
# Reads every include of the program's code against its layers and fails on one that reaches
# upwards, or that does not name its folder. Every folder sees the whole tree from the one
# include root, so the compiler cannot refuse such an include; this does. The layers, lowest
# first, are the README's map:
#   services/registry, services/printing, cursor/file, i18n   what stands on nothing of ours
#   services     the runtime-services interface, and its Qt implementation on the launcher
#                and the print job
#   quiz         the quiz engine and its reading of numbers, on the services' interface
#   cursor       the cursor theme, on the cursor-file reader
#   windows      the four windows, on the quiz engine, the cursor theme and the services
#   app          start-up and the registry of the windows, on everything
# tests/, bench/, fuzz/ and tools/ stand outside: they may include any layer, no layer them.
#   ./scripts/check/layers.sh [repository]
set -euo pipefail
root=$(realpath "${1:-$(dirname "$0")/../..}")
cd "$root"

# The folders each folder may include, itself first.
declare -A may=(
  [services/registry]="services/registry"
  [services/printing]="services/printing"
  [cursor/file]="cursor/file"
  [i18n]="i18n"
  [services]="services services/printing"
  [quiz]="quiz services"
  [cursor]="cursor cursor/file"
  [windows]="windows quiz cursor services"
  [app]="app windows quiz cursor cursor/file services services/registry services/printing i18n"
)
outside="tests bench fuzz tools"

# The layer a path lies in, into REPLY: the longest folder of the table that holds it.
layer_of() {
  local folder
  REPLY=""
  for folder in "${!may[@]}" $outside; do
    if [[ $1 == "$folder"/* && ${#folder} -gt ${#REPLY} ]]; then REPLY=$folder; fi
  done
}

# The program's files: git's list in a checkout (untracked scratch files stay out), else, in a
# source archive, what lies in the folders of the table.
files=()
if [[ $(git rev-parse --show-toplevel 2>/dev/null) == "$root" ]]; then
  mapfile -d '' files < <(git ls-files -z '*.h' '*.cpp' '*.c')
else
  folders=()
  for folder in "${!may[@]}" $outside; do [[ -d $folder ]] && folders+=("$folder"); done
  [[ ${#folders[@]} -gt 0 ]] &&
    mapfile -d '' files < <(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 | sort -zu)
fi
if [[ ${#files[@]} -eq 0 ]]; then
  echo "layers: no source file found in $root"
  exit 1
fi

failed=0 checked=0
while IFS=: read -r file line target; do
  layer_of "$file"
  from=$REPLY
  [[ -z $from ]] && continue
  checked=$((checked + 1))
  if [[ $target != */* ]]; then
    echo "$file:$line: \"$target\" names no folder"
    failed=$((failed + 1))
    continue
  fi
  layer_of "$target"
  to=$REPLY
  if [[ -z $to ]]; then
    echo "$file:$line: \"$target\" lies in no folder of the program"
    failed=$((failed + 1))
  elif [[ " $outside " != *" $from "* && " ${may[$from]} " != *" $to "* ]]; then
    echo "$file:$line: $from reaches up into $to (\"$target\")"
    failed=$((failed + 1))
  fi
done < <(printf '%s\0' "${files[@]}" | xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]*)".*/\1:\2:\3/' | grep -vE '\.moc$' || true)
echo "layers: ${#files[@]} files, $checked includes read, $failed reaching upwards or naming no folder"
if [[ $checked -eq 0 ]]; then
  echo "layers: no include was read"
  exit 1
fi
[[ $failed -eq 0 ]]
