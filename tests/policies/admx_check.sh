#!/usr/bin/env bash
# The administrative template that make-policy-template writes, held to the settings
# table as this script reads it: every $(string.…) and $(presentation.…) of the .admx
# resolves in the .adml, every policy writes the value the saver reads, under the key it
# reads, with the table's range and default, its help names the row's slider, and each
# control of a presentation belongs to its policy's element.
#
#   admx_check.sh MAKE_POLICY_TEMPLATE              check the template it writes
#   admx_check.sh --controls MAKE_POLICY_TEMPLATE   the check must fail on spoiled copies
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
key='SOFTWARE\Policies\Tessaryn'

failures=0
fail() {
  echo "admx_check: $*" >&2
  failures=$((failures + 1))
}

# An XPath answer from a file without its default namespace (see without_namespace).
q() {
  xmllint --xpath "$2" "$1" 2>/dev/null || true
}
# Several in one xmllint: the string value of each EXPR (names and numbers, no "|"), one a
# line.
qs() {  # FILE EXPR...
  local file=$1 e expr="concat(''" separator=""
  shift
  for e in "$@"; do
    expr+=", $separator string($e)"
    separator="'|',"
  done
  q "$file" "$expr)" | tr '|' '\n'
}
without_namespace() {  # FILE COPY
  sed 's/ xmlns="[^"]*"//' "$1" >"$2"
}
# The values of the attribute NAME that q printed, one a line.
attribute_values() {  # NAME
  sed -E "s/ ?$1=\"([^\"]*)\"/\\1\\n/g" | sed '/^$/d'
}

# name|low|high|default|switch|label, one line per row of kSettingsTable.
table_rows() {
  sed -nE 's/^ *\{"([A-Za-z_]+)", "[^"]*", "([^"]*)", (-?[0-9]+), (-?[0-9]+), (-?[0-9]+), &ClockSettings::[A-Za-z_]+(, true)?\},.*/\1|\3|\4|\5|\6|\2/p' "$1"
}
# Every line that looks like a row, read or not.
table_row_count() {
  grep -c '^ *{".*&ClockSettings::' "$1"
}

check_references() {
  local admx=$1 adml=$2 kind id
  for kind in string presentation; do
    local table=stringTable
    [[ $kind == presentation ]] && table=presentationTable
    local -A defined=()
    while read -r id; do
      defined[$id]=$((${defined[$id]:-0} + 1))
    done < <(q "$adml" "//${table}/${kind}/@id" | attribute_values id)
    for id in $(grep -o "\$($kind\.[A-Za-z0-9_]*)" "$admx" | sed -E "s/^\\\$\($kind\.(.*)\)$/\1/" | sort -u); do
      [[ ${defined[$id]:-0} == 1 ]] || fail "\$($kind.$id) does not resolve in $(basename "$adml")"
    done
    unset defined
  done
  # Each presentation control names an element of the policy that shows it.
  for id in $(q "$adml" "//presentation/@id" | attribute_values id); do
    for ref in $(q "$adml" "//presentation[@id='$id']/*/@refId" | attribute_values refId); do
      [[ $(q "$admx" "count(//policy[@presentation='\$(presentation.$id)']/elements/*[@id='$ref'])") == 1 ]] ||
        fail "presentation $id shows $ref, which its policy does not have"
    done
  done
}

# The policy named after a value: for both computer and user, in the category, under the key.
check_policy_frame() {
  local admx=$1 name=$2
  local p="//policy[@name='$name']" frame
  mapfile -t frame < <(qs "$admx" "count($p)" "$p/@class" "$p/@key" "$p/parentCategory/@ref" \
    "$p/supportedOn/@ref")
  [[ ${frame[0]} == 1 ]] || { fail "no policy $name"; return 1; }
  [[ ${frame[1]} == Both ]] || fail "$name is not for both computer and user"
  [[ ${frame[2]} == "$key" ]] || fail "$name is not under $key"
  [[ ${frame[3]} == Tessaryn ]] || fail "$name is not in Tessaryn"
  [[ ${frame[4]} == SUPPORTED_Windows7SP1 ]] || fail "$name is not supported on Windows 7 SP1"
}

check_number_box() {
  local admx=$1 adml=$2 name=$3 low=$4 high=$5 default=$6 e=$7 range
  mapfile -t range < <(qs "$admx" "$e/decimal/@minValue" "$e/decimal/@maxValue")
  [[ ${range[0]} == "$low" && ${range[1]} == "$high" ]] ||
    fail "$name: the number box's range is not $low to $high"
  [[ $(q "$adml" "string(//decimalTextBox[@refId='$name']/@defaultValue)") == "$default" ]] ||
    fail "$name: the number box does not start at $default"
}

check_drop_down() {
  local admx=$1 adml=$2 name=$3 low=$4 high=$5 default=$6 e=$7
  local values
  values=$(q "$admx" "$e/enum/item/value/decimal/@value" | attribute_values value | xargs)
  [[ $values == "$(seq -s ' ' "$low" "$high")" ]] ||
    fail "$name: the drop-down's values are not $low to $high"
  # defaultItem counts the items from 0.
  local first
  first=$(q "$adml" "string(//dropdownList[@refId='$name']/@defaultItem)")
  [[ $first =~ ^[0-9]+$ &&
     $(q "$admx" "string($e/enum/item[$((first + 1))]/value/decimal/@value)") == "$default" ]] ||
    fail "$name: the drop-down does not start at $default"
  # Named as the README's gallery names them.
  local v id word=Dial ids=() shown=() i=0
  [[ $name == Arrows ]] && word=Hands
  local item_names=() strings=()
  for v in $(seq "$low" "$high"); do
    item_names+=("$e/enum/item[value/decimal/@value='$v']/@displayName")
  done
  mapfile -t ids < <(qs "$admx" "${item_names[@]}" | sed -E 's/^\$\(string\.(.*)\)$/\1/')
  for id in "${ids[@]}"; do strings+=("//stringTable/string[@id='$id']"); done
  mapfile -t shown < <(qs "$adml" "${strings[@]}")
  for v in $(seq "$low" "$high"); do
    local expected="$word $v"
    [[ $v == 0 ]] && expected="No dial"
    [[ ${shown[i]:-} == "$expected" ]] || fail "$name $v is called \"${shown[i]:-}\", not \"$expected\""
    i=$((i + 1))
  done
}

check_setting() {
  local admx=$1 adml=$2 name=$3 low=$4 high=$5 default=$6 switch=$7 label=$8
  check_policy_frame "$admx" "$name" || return 0
  [[ $(q "$adml" "string(//stringTable/string[@id='${name}_Help'])") == *"\"$label\""* ]] ||
    fail "$name: the help does not name the \"$label\" slider"
  local e="//policy[@name='$name']/elements" kinds
  mapfile -t kinds < <(qs "$admx" "count($e/decimal[@valueName='$name'])" \
    "count($e/enum[@valueName='$name'])" "count($e/boolean[@valueName='$name'])" \
    "$e/boolean/trueValue/decimal/@value" "$e/boolean/falseValue/decimal/@value")
  if [[ ${kinds[0]} == 1 ]]; then
    check_number_box "$admx" "$adml" "$name" "$low" "$high" "$default" "$e"
  elif [[ ${kinds[1]} == 1 ]]; then
    check_drop_down "$admx" "$adml" "$name" "$low" "$high" "$default" "$e"
  elif [[ ${kinds[2]} == 1 ]]; then
    [[ -n $switch && $low == 0 && $high == 1 && ${kinds[3]} == 1 && ${kinds[4]} == 0 ]] ||
      fail "$name: the check box does not write 1 and 0 for an on/off setting"
  else
    fail "$name: no element writes the value $name"
  fi
}

check() {
  local admx=$1 adml=$2 table=$3
  failures=0
  xmllint --noout "$admx" "$adml" || fail "not well-formed"
  # Each query then reads a plain copy instead of stripping the namespace itself.
  local plain
  plain=$(mktemp -d)
  without_namespace "$admx" "$plain/admx"
  without_namespace "$adml" "$plain/adml"
  admx=$plain/admx adml=$plain/adml
  check_references "$admx" "$adml"
  local rows=0 name low high default switch label
  while IFS='|' read -r name low high default switch label; do
    rows=$((rows + 1))
    check_setting "$admx" "$adml" "$name" "$low" "$high" "$default" "$switch" "$label"
  done < <(table_rows "$table")
  local expected_rows
  expected_rows=$(table_row_count "$table")
  [[ $rows -gt 0 && $rows == "$expected_rows" ]] ||
    fail "read $rows rows of the settings table, which has $expected_rows"
  if check_policy_frame "$admx" ClockSync; then
    local p="//policy[@name='ClockSync']" sync
    mapfile -t sync < <(qs "$admx" "$p/@valueName" "$p/enabledValue/decimal/@value" \
      "$p/disabledValue/decimal/@value")
    [[ ${sync[*]} == "ClockSync 1 0" ]] ||
      fail "ClockSync does not write 1 when enabled and 0 when disabled"
  fi
  if check_policy_frame "$admx" TimeServers; then
    [[ $(q "$admx" "count(//policy[@name='TimeServers']/elements/text[@valueName='TimeServers'][not(@expandable='true')])") == 1 ]] ||
      fail "TimeServers is not a plain text value"
  fi
  # One policy a row, and the clock synchronisation's two.
  [[ $(q "$admx" "count(//policy)") == $((rows + 2)) ]] || fail "not $((rows + 2)) policies"
  [[ $(q "$adml" "string(//string[@id='SUPPORTED_Windows7SP1'])") == "Windows 7 SP1 and later" ]] ||
    fail "supportedOn does not read \"Windows 7 SP1 and later\""
  rm -rf "$plain"
  return $((failures > 0))
}

controls=no
[[ ${1:-} == --controls ]] && { controls=yes; shift; }
generator=${1:?usage: admx_check.sh [--controls] MAKE_POLICY_TEMPLATE}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work/template"
admx=$work/template/tessaryn.admx
adml=$work/template/en-US/tessaryn.adml
table=$root/settings/SettingsTable.h

if [[ $controls == no ]]; then
  check "$admx" "$adml" "$table" && echo "admx_check: the template agrees with the settings table"
  exit
fi

# Controls: each spoiled copy must fail, and for its own reason.
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
check "$admx" "$adml" "$table" >/dev/null 2>&1 ||
  { echo "admx_check: the untouched template fails already: no control can show anything" >&2; exit 1; }
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
spoil "a default the drop-down does not start at" t.h 's/\{"Color", "-dial", "Dial", 0, 10, 7,/{"Color", "-dial", "Dial", 0, 10, 3,/' \
  'Color: the drop-down does not start at 3' || status=1
spoil "a slider label the help does not quote" t.h 's/"Arrows Color"/"Hands Color"/' \
  'does not name the "Hands Color" slider' || status=1
spoil "a row the table reader misses" t.h 's/\{"Alpha", "-dial-color", "Dial Color", 1,/{"Alpha", "-dial-color", "Dial Color", +1,/' \
  'read 6 rows of the settings table, which has 7' || status=1
exit $status
