#!/usr/bin/env bash
# Checks the application manifest that Windows reads from a program: the RT_MANIFEST
# resource embedded in the binary, not the file it was made from.
#
#   manifest-check.sh program OBJDUMP PROGRAM KIND
#       reads PROGRAM's manifest and machine, then checks them as below
#   manifest-check.sh xml MANIFEST MACHINE KIND
#       checks a manifest file for a program of MACHINE (x86 or amd64)
#
# KIND names the choices we made for that program:
#   saver    asInvoker, the four supportedOS of Windows 7 to 11, per-monitor DPI aware
#   step     asInvoker, the same supportedOS, no DPI settings (it shows no window)
#   setup    requireAdministrator, the same supportedOS, DPI aware
#
# Prints every offence, one a line, and fails when there is one.
set -euo pipefail

mode=$1

offences=0
offend() {
  echo "$1"
  offences=$((offences + 1))
}

# PE machine as the side-by-side loader names it.
machine_of() {
  case "$("$1" -f "$2" | sed -n 's/.*file format //p')" in
    pei-i386) echo x86 ;;
    pei-x86-64) echo amd64 ;;
    *) echo unknown ;;
  esac
}

case "$mode" in
  program)
    objdump=$2
    program=$3
    kind=$4
    manifest=$(mktemp)
    trap 'rm -f "$manifest"' EXIT
    wrestool -x --raw -t 24 "$program" >"$manifest" 2>/dev/null || true
    if [ ! -s "$manifest" ]; then
      echo "no RT_MANIFEST resource in $program"
      exit 1
    fi
    machine=$(machine_of "$objdump" "$program")
    ;;
  xml)
    manifest=$2
    machine=$3
    kind=$4
    ;;
  *)
    echo "unknown mode: $mode" >&2
    exit 2
    ;;
esac

if ! xmllint --noout "$manifest" 2>/dev/null; then
  echo "not well-formed XML"
  exit 1
fi

# Namespaces differ between the manifest's sections: match on local names.
xpath() {
  xmllint --xpath "$1" "$manifest" 2>/dev/null || true
}
element() {
  echo "*[local-name()='$1']"
}
root="/$(element assembly)"
# The string values of every node PATH selects, one a line.
values() {
  local n i
  n=$(xpath "count($1)")
  for ((i = 1; i <= n; i++)); do
    printf '%s\n' "$(xpath "string(($1)[$i])")"
  done
}
count() {
  xpath "count($1)"
}

# The program's own identity, not those of the assemblies it depends on.
identity="$root/$(element assemblyIdentity)"
identities=$(count "$identity")
if [ "$identities" != 1 ]; then
  offend "the program's assemblyIdentity appears $identities times, not once"
fi
arch=$(values "$identity/@processorArchitecture" | tr "A-Z" "a-z")
case "$arch" in
  "" | "$machine") ;;
  *) offend "processorArchitecture is $arch, but the program is $machine" ;;
esac

# Elements Windows reads once; a second copy makes the manifest invalid.
for name in description trustInfo security requestedPrivileges requestedExecutionLevel \
            compatibility windowsSettings dpiAware dpiAwareness; do
  n=$(count "//$(element "$name")")
  if [ "$n" -gt 1 ]; then
    offend "$name appears $n times"
  fi
done
duplicated_os=$(values "//$(element supportedOS)/@Id" | sort | uniq -d)
if [ -n "$duplicated_os" ]; then
  offend "supportedOS $duplicated_os appears more than once"
fi

case "$kind" in
  saver | step) expected_level=asInvoker ;;
  setup) expected_level=requireAdministrator ;;
  *)
    echo "unknown kind: $kind" >&2
    exit 2
    ;;
esac
level_path="//$(element requestedExecutionLevel)"
level=$(values "$level_path/@level")
[ "$level" = "$expected_level" ] || offend "execution level is ${level:-missing}, not $expected_level"
ui_access=$(values "$level_path/@uiAccess")
[ -z "$ui_access" ] || [ "$ui_access" = false ] || offend "uiAccess is $ui_access, not false"

# Windows 7, 8, 8.1, and 10 and 11.
expected_os="{1f676c76-80e1-4239-95bb-83d0f6d0da78}
{35138b9a-5d96-4fbd-8e2d-a2440225f93a}
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
os=$(values "//$(element supportedOS)/@Id" | tr 'A-F' 'a-f' | sort -u)
[ "$os" = "$expected_os" ] || offend "supportedOS list is [$(echo $os)], not [$(echo $expected_os)]"

dpi_aware=$(xpath "string(//$(element dpiAware))" | tr -d ' ')
dpi_awareness=$(xpath "string(//$(element dpiAwareness))" | tr -d ' ')
case "$kind" in
  saver) expected_dpi="true/pm PerMonitorV2,PerMonitor" ;;
  step) expected_dpi=" " ;;
  setup) expected_dpi="true " ;;
esac
[ "$dpi_aware $dpi_awareness" = "$expected_dpi" ] ||
  offend "DPI awareness is '$dpi_aware $dpi_awareness', not '$expected_dpi'"

[ "$offences" -eq 0 ]
