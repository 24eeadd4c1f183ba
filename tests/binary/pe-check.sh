#!/usr/bin/env bash
# Checks a Windows program's PE header and static imports, as objdump reads them.
#
#   pe-check.sh floor OBJDUMP PROGRAM LIST
#       the subsystem and OS versions are 6.1 (Windows 7), and every statically imported
#       DLL and entry is one of LIST's "DLL ENTRY" lines
#   pe-check.sh system-folder OBJDUMP PROGRAM
#       none of the libraries the program loads from the system folder itself is a
#       static import (those would be looked up through the search path at start)
#
# Prints every offence, one a line, and fails when there is one.
set -euo pipefail

mode=$1
objdump=$2
program=$3

# "DLL ENTRY" for each static import; the DLL upper-cased, as Windows compares names.
static_imports() {
  "$objdump" -p "$program" | awk '
    /^The Import Tables/ { in_imports = 1; next }
    /^The .* Tables|^PE File Base Relocations/ && !/Import/ { in_imports = 0 }
    in_imports && /^\tDLL Name: / { dll = toupper($3); next }
    in_imports && dll != "" && /^\t[0-9a-f]+\t/ {
      # vma, hint, name; an import by ordinal has no name.
      print dll, (NF >= 3 ? $3 : "#" $2)
    }'
}

header_field() {
  "$objdump" -p "$program" | awk -v field="$1" '$1 == field { print $2 }'
}

offences=0
offend() {
  echo "$1"
  offences=$((offences + 1))
}

imports=$(static_imports)
if [ -z "$imports" ]; then
  offend "no static imports read from $program"
fi

case "$mode" in
  floor)
    list=$4
    for field in MajorSubsystemVersion MinorSubsystemVersion MajorOSystemVersion \
                 MinorOSystemVersion; do
      value=$(header_field "$field")
      case "$field" in
        Major*) expected=6 ;;
        Minor*) expected=1 ;;
      esac
      [ "$value" = "$expected" ] || offend "$field is ${value:-missing}, not $expected"
    done
    known=$(awk '!/^#/ && NF == 2 { print toupper($1), $2 }' "$list" | sort -u)
    while read -r line; do
      offend "not in the Windows 7 SP1 list: $line"
    done < <(comm -23 <(echo "$imports" | sort -u) <(echo "$known"))
    ;;
  system-folder)
    while read -r dll entry; do
      case "$dll" in
        OPENGL32.DLL | GLU32.DLL | MPR.DLL | PASSWORD.CPL)
          offend "static import from the search path: $dll $entry" ;;
      esac
    done <<< "$imports"
    ;;
  *)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac

[ "$offences" -eq 0 ]
