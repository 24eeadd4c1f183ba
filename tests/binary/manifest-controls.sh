#!/usr/bin/env bash
# The manifest check's controls: the saver's own embedded manifest, spoiled one way at a
# time, must fail the check with the offence named; unspoiled, it must pass.
#   manifest-controls.sh OBJDUMP SAVER PROGRAM_WITHOUT_MANIFEST
set -uo pipefail
cd "$(dirname "$0")/../.."
. tests/support/checks.sh

objdump=$1
saver=$2
bare=$3
check_script=tests/binary/manifest-check.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wrestool -x --raw -t 24 "$saver" >"$work/good.xml"
case "$("$objdump" -f "$saver")" in
  *pei-x86-64*) machine=amd64 other=x86 ;;
  *) machine=x86 other=amd64 ;;
esac

# Runs the check on FILE for MACHINE; true when it fails and prints PATTERN.
names() {
  local file=$1 for_machine=$2 pattern=$3 out
  if out=$(bash "$check_script" xml "$file" "$for_machine" saver); then
    echo "    passed, but should have named: $pattern"
    return 1
  fi
  grep -q -- "$pattern" <<<"$out" || { echo "    said: $out"; return 1; }
}

spoil() {
  sed "$1" "$work/good.xml" >"$work/spoiled.xml"
}

check "the unspoiled manifest passes" bash "$check_script" xml "$work/good.xml" "$machine" saver

check "a manifest for the other machine is named" \
  names "$work/good.xml" "$other" "processorArchitecture is $machine, but the program is $other"

spoil 's#</assembly>##'
check "XML that is not well-formed is named" names "$work/spoiled.xml" "$machine" \
  "not well-formed XML"

spoil 's#\(<dpiAware [^>]*>[^<]*</dpiAware>\)#\1\1#'
check "a second dpiAware is named" names "$work/spoiled.xml" "$machine" "dpiAware appears 2 times"

spoil 's#level="asInvoker"#level="requireAdministrator"#'
check "another execution level is named" names "$work/spoiled.xml" "$machine" \
  "execution level is requireAdministrator, not asInvoker"

spoil '/8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a/d'
check "a supportedOS list without Windows 10 is named" names "$work/spoiled.xml" "$machine" \
  "supportedOS list is"

spoil 's#PerMonitorV2, PerMonitor#unaware#'
check "another DPI awareness is named" names "$work/spoiled.xml" "$machine" \
  "DPI awareness is 'true/pm unaware'"

out=$(bash "$check_script" program "$objdump" "$bare" saver)
check "a program without a manifest is named" grep -q "no RT_MANIFEST resource" <<<"$out"

echo "$failures failed"
[ "$failures" -eq 0 ]
