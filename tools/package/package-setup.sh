#!/usr/bin/env bash
# Builds the setup program that carries both builds:
#
#   tools/package/package-setup.sh PROGRAMS_DIR VERSION OUTFILE [UNINSTALLER_SIGNATURE]
#
# PROGRAMS_DIR holds 32-bit/ and 64-bit/, each with tessaryn.scr and tessaryn-clock.exe.
# With UNINSTALLER_SIGNATURE, a release's setup program: its uninstaller is signed (or,
# in a rebuild, given the published signature) before it is packed, and its Authenticode
# signature is kept in that file, for anyone who rebuilds the setup program.
set -euo pipefail
cd "$(dirname "$0")/../.."

programs=$(realpath "${1:?programs directory}")
version=${2:?version}
outfile=$(realpath -m "${3:?output file}")
finalize=()
if [ -n "${4:-}" ]; then
  finalize=("-DUNINSTFINALIZE=bash \"$PWD/tools/package/sign-uninstaller.sh\" \"%1\" \"$(realpath -m "$4")\"")
fi

makensis -V2 -WX -INPUTCHARSET UTF8 \
  "-DVERSION=$version" \
  "-DSCR32=$programs/32-bit/tessaryn.scr" \
  "-DSCR64=$programs/64-bit/tessaryn.scr" \
  "-DCLOCK32=$programs/32-bit/tessaryn-clock.exe" \
  "-DCLOCK64=$programs/64-bit/tessaryn-clock.exe" \
  "-DREADME=$PWD/README.md" \
  "-DLICENSE=$PWD/LICENSE" \
  "-DICON=$PWD/res/tessaryn.ico" \
  "-DOUTFILE=$outfile" \
  "${finalize[@]}" \
  installer/tessaryn.nsi
