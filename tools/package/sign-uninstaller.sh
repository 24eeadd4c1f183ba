#!/usr/bin/env bash
# Called by makensis (!uninstfinalize) with the uninstaller it is about to pack:
#
#   tools/package/sign-uninstaller.sh UNINSTALLER SIGNATURE
#
# signs it with the release's Authenticode key and keeps its signature in SIGNATURE; in
# a rebuild, attaches the published SIGNATURE (of the same name) instead.
set -euo pipefail
. "$(dirname "$0")/signing.sh"

uninstaller=$1 signature=$2
if authenticode_keys; then
  sign_authenticode "$uninstaller"
  osslsigncode extract-signature -in "$uninstaller" -out "$signature.tmp" >/dev/null
  mv "$signature.tmp" "$signature"
elif carrying_over; then
  sign_authenticode "$uninstaller" "$TESSARYN_SIGNATURES_FROM/$(basename "$signature")"
fi
