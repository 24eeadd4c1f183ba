#!/bin/sh
# Run by makensis on the installer's header before it is written out: blanks the
# processor that NSIS's stub manifest names for the program itself ("*"), byte for byte
# the same length, so that the manifest names no architecture. The dependency's "*"
# (common controls) stays.
set -eu
grep -q -F ' processorArchitecture="*" name="Nullsoft' "$1"
sed -i 's/ processorArchitecture="\*" name="Nullsoft/                          name="Nullsoft/' "$1"
