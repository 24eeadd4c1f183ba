#!/usr/bin/env bash
# The folder table of docs/DEVELOPING.md against the build: its rows are the layers in
# the order the top CMakeLists.txt adds them, and no layer uses one listed after it.
# Prints each disagreement; exits non-zero when there is one.
#   layer_order.sh [SOURCE_DIR]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
status=0

# Layer folders in the order they are added, each once (tests and tools are not layers).
mapfile -t built < <(sed -n 's/^ *add_subdirectory(\([^ )]*\)).*/\1/p' "$root/CMakeLists.txt" |
  grep -v '^tests/\|^tools/' | awk '!seen[$0]++')
# The table's folders, in its order.
mapfile -t listed < <(sed -n 's/^| `\([^`]*\)\/` |.*/\1/p' "$root/docs/DEVELOPING.md")

if [ "${built[*]}" != "${listed[*]}" ]; then
  echo "the table lists:    ${listed[*]}"
  echo "the build adds:     ${built[*]}"
  status=1
fi

# "TARGET FOLDER USED..." for every layer, from its tessaryn_layer call.
layers=$(for folder in "${built[@]}"; do
  tr '\n' ' ' <"$root/$folder/CMakeLists.txt" |
    grep -o 'tessaryn_layer([^)]*)' |
    sed -e 's/tessaryn_layer(//' -e 's/)$//' |
    awk '{
      printf "%s", $1
      for (i = 2; i <= NF; i++) if ($i == "FOLDER") printf " %s", $(i + 1)
      using = 0
      for (i = 2; i <= NF; i++) {
        if ($i == "USES") { using = 1; continue }
        if ($i ~ /^(SOURCES|LIBS|FOLDER)$/) { using = 0; continue }
        if (using) printf " %s", $i
      }
      printf "\n"
    }'
done)

place_of() {
  local i
  for i in "${!listed[@]}"; do
    [ "${listed[$i]}" = "$1" ] && echo "$i" && return
  done
  echo -1
}
folder_of() { awk -v t="$1" '$1 == t { print $2 }' <<<"$layers"; }

while read -r target folder used; do
  [ -n "$target" ] || continue
  here=$(place_of "$folder")
  for dep in $used; do
    dep_folder=$(folder_of "$dep")
    if [ -z "$dep_folder" ]; then
      echo "$folder uses $dep, which is no layer of the table"
      status=1
    elif [ "$(place_of "$dep_folder")" -ge "$here" ]; then
      echo "$folder uses $dep_folder, listed after it"
      status=1
    fi
  done
done <<<"$layers"

[ "$status" -ne 0 ] || echo "${#listed[@]} layers in build order; none uses one listed after it"
exit "$status"
