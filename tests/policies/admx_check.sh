#!/usr/bin/env bash
# The administrative template held to the settings table: every $(string.…) and
# $(presentation.…) of the .admx resolves in the .adml, every policy writes the value the
# saver reads, under the key it reads, with the table's range, and each control of a
# presentation belongs to its policy's element.
#
#   admx_check.sh [ADMX ADML TABLE]   check (the repository's files by default)
#   admx_check.sh --controls          the check must fail on spoiled copies
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
key='SOFTWARE\Policies\Tessaryn'

failures=0
fail() {
  echo "admx_check: $*" >&2
  failures=$((failures + 1))
}

# An XPath answer from the file without its default namespace.
q() {
  xmllint --xpath "$2" <(sed 's/ xmlns="[^"]*"//' "$1") 2>/dev/null || true
}

# name low high default switch, one line per row of kSettingsTable.
table_rows() {
  sed -nE 's/^ *\{"([A-Za-z_]+)", "[^"]*", "[^"]*", (-?[0-9]+), (-?[0-9]+), (-?[0-9]+), &ClockSettings::[A-Za-z_]+(, true)?\},.*/\1 \2 \3 \4 \5/p' "$1"
}

check_references() {
  local admx=$1 adml=$2 kind id
  for kind in string presentation; do
    local table=stringTable
    [[ $kind == presentation ]] && table=presentationTable
    for id in $(grep -o "\$($kind\.[A-Za-z0-9_]*)" "$admx" | sed -E "s/^\\\$\($kind\.(.*)\)$/\1/" | sort -u); do
      [[ $(q "$adml" "count(//${table}/${kind}[@id='$id'])") == 1 ]] ||
        fail "\$($kind.$id) does not resolve in $(basename "$adml")"
    done
  done
  # Each presentation control names an element of the policy that shows it.
  for id in $(q "$adml" "//presentation/@id" | sed -E 's/ ?id="([^"]*)"/\1\n/g'); do
    for ref in $(q "$adml" "//presentation[@id='$id']/*/@refId" | sed -E 's/ ?refId="([^"]*)"/\1\n/g'); do
      [[ $(q "$admx" "count(//policy[@presentation='\$(presentation.$id)']/elements/*[@id='$ref'])") == 1 ]] ||
        fail "presentation $id shows $ref, which its policy does not have"
    done
  done
}

# The policy named after a value: for both computer and user, in the category, under the key.
check_policy_frame() {
  local admx=$1 name=$2
  local p="//policy[@name='$name']"
  [[ $(q "$admx" "count($p)") == 1 ]] || { fail "no policy $name"; return 1; }
  [[ $(q "$admx" "string($p/@class)") == Both ]] || fail "$name is not for both computer and user"
  [[ $(q "$admx" "string($p/@key)") == "$key" ]] || fail "$name is not under $key"
  [[ $(q "$admx" "string($p/parentCategory/@ref)") == Tessaryn ]] || fail "$name is not in Tessaryn"
  [[ $(q "$admx" "string($p/supportedOn/@ref)") == SUPPORTED_Windows7SP1 ]] ||
    fail "$name is not supported on Windows 7 SP1"
}

check_setting() {
  local admx=$1 adml=$2 name=$3 low=$4 high=$5 default=$6 switch=$7
  check_policy_frame "$admx" "$name" || return 0
  local e="//policy[@name='$name']/elements"
  if [[ $(q "$admx" "count($e/decimal[@valueName='$name'])") == 1 ]]; then
    [[ $(q "$admx" "string($e/decimal/@minValue)") == "$low" &&
       $(q "$admx" "string($e/decimal/@maxValue)") == "$high" ]] ||
      fail "$name: the number box's range is not $low to $high"
    [[ $(q "$adml" "string(//decimalTextBox[@refId='$name']/@defaultValue)") == "$default" ]] ||
      fail "$name: the number box does not start at $default"
  elif [[ $(q "$admx" "count($e/enum[@valueName='$name'])") == 1 ]]; then
    local values
    values=$(q "$admx" "$e/enum/item/value/decimal/@value" | sed -E 's/ ?value="([^"]*)"/\1 /g')
    [[ $(tr -s ' \n' ' ' <<<"$values" | xargs) == "$(seq -s ' ' "$low" "$high")" ]] ||
      fail "$name: the drop-down's values are not $low to $high"
    # Named as the README's gallery names them.
    local v word=Dial
    [[ $name == Arrows ]] && word=Hands
    for v in $(seq "$low" "$high"); do
      local id shown expected="$word $v"
      [[ $v == 0 ]] && expected="No dial"
      id=$(q "$admx" "string($e/enum/item[value/decimal/@value='$v']/@displayName)" | sed -E 's/^\$\(string\.(.*)\)$/\1/')
      shown=$(q "$adml" "string(//stringTable/string[@id='$id'])")
      [[ $shown == "$expected" ]] || fail "$name $v is called \"$shown\", not \"$expected\""
    done
  elif [[ $(q "$admx" "count($e/boolean[@valueName='$name'])") == 1 ]]; then
    [[ -n $switch && $low == 0 && $high == 1 &&
       $(q "$admx" "string($e/boolean/trueValue/decimal/@value)") == 1 &&
       $(q "$admx" "string($e/boolean/falseValue/decimal/@value)") == 0 ]] ||
      fail "$name: the check box does not write 1 and 0 for an on/off setting"
  else
    fail "$name: no element writes the value $name"
  fi
}

check() {
  local admx=$1 adml=$2 table=$3
  failures=0
  xmllint --noout "$admx" "$adml" || fail "not well-formed"
  check_references "$admx" "$adml"
  local rows=0 name low high default switch
  while read -r name low high default switch; do
    rows=$((rows + 1))
    check_setting "$admx" "$adml" "$name" "$low" "$high" "$default" "$switch"
  done < <(table_rows "$table")
  [[ $rows == 7 ]] || fail "read $rows rows of the settings table, not 7"
  if check_policy_frame "$admx" ClockSync; then
    local p="//policy[@name='ClockSync']"
    [[ $(q "$admx" "string($p/@valueName)") == ClockSync &&
       $(q "$admx" "string($p/enabledValue/decimal/@value)") == 1 &&
       $(q "$admx" "string($p/disabledValue/decimal/@value)") == 0 ]] ||
      fail "ClockSync does not write 1 when enabled and 0 when disabled"
  fi
  if check_policy_frame "$admx" TimeServers; then
    [[ $(q "$admx" "count(//policy[@name='TimeServers']/elements/text[@valueName='TimeServers'][not(@expandable='true')])") == 1 ]] ||
      fail "TimeServers is not a plain text value"
  fi
  [[ $(q "$admx" "count(//policy)") == 9 ]] || fail "not nine policies"
  [[ $(q "$adml" "string(//string[@id='SUPPORTED_Windows7SP1'])") == "Windows 7 SP1 and later" ]] ||
    fail "supportedOn does not read \"Windows 7 SP1 and later\""
  return $((failures > 0))
}

admx=$root/installer/policies/tessaryn.admx
adml=$root/installer/policies/en-US/tessaryn.adml
table=$root/settings/SettingsTable.h

if [[ ${1:-} != --controls ]]; then
  [[ $# -ge 3 ]] && { admx=$1; adml=$2; table=$3; }
  check "$admx" "$adml" "$table" && echo "admx_check: the template agrees with the settings table"
  exit
fi

# Controls: each spoiled copy must fail, and for its own reason.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
spoil() {  # WHAT FILE SED-EXPRESSION EXPECTED-MESSAGE
  local what=$1 file=$2 expression=$3 expected=$4
  cp "$admx" "$work/a.admx"
  cp "$adml" "$work/a.adml"
  cp "$table" "$work/t.h"
  sed -i -E "$expression" "$work/$file"
  local out
  if out=$(check "$work/a.admx" "$work/a.adml" "$work/t.h" 2>&1); then
    echo "admx_check: control \"$what\" passed" >&2
    return 1
  fi
  grep -q -- "$expected" <<<"$out" || { echo "admx_check: control \"$what\": $out" >&2; return 1; }
  echo "admx_check: control \"$what\" fails as it must"
}
status=0
# shellcheck disable=SC2016 # the $( ) are the template's own, not the shell's
spoil "a dangling string reference" a.admx 's/\$\(string\.Sizes\)/$(string.Sizez)/' \
  'string.Sizez) does not resolve' || status=1
spoil "a dangling presentation reference" a.adml 's/presentation id="Color"/presentation id="Colour"/' \
  'presentation.Color) does not resolve' || status=1
spoil "a range the table does not have" t.h 's/\{"Sizes", "-sizes", "Digital Size", 5, 15/{"Sizes", "-sizes", "Digital Size", 5, 16/' \
  'range is not 5 to 16' || status=1
spoil "a value name the saver does not read" a.admx 's/valueName="Ar_Color"/valueName="ArColor"/' \
  'no element writes the value Ar_Color' || status=1
spoil "a dial named otherwise" a.adml 's/>Dial 3</>Dial three</' 'Color 3 is called' || status=1
spoil "the user's key only" a.admx '0,/class="Both"/s//class="User"/' 'not for both' || status=1
exit $status
