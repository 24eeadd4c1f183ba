#!/usr/bin/env bash
# Builds the 32-bit and the 64-bit tessaryn.scr and makes the release in
# build/package/: tessaryn-setup.exe (one installer carrying both builds), each .scr
# with its clock step (tessaryn-clock.exe) in a folder of its own, the README and the
# licence, the administrative template in policies/; for fleet deployment a Windows
# Installer package of each build (tools/package/package-msi.sh); beside them the Linux hack as
# a Debian source package and the .deb built from it (tools/package/package-deb.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/common.sh

for preset in win32 win64; do
  build "$preset" tessaryn tessaryn_clock
done

version=$(sed -n 's/^project(Tessaryn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/package
rm -rf "$out"
mkdir -p "$out/32-bit" "$out/64-bit"
cp build/win32/tessaryn.scr build/win32/tessaryn-clock.exe "$out/32-bit/"
cp build/win64/tessaryn.scr build/win64/tessaryn-clock.exe "$out/64-bit/"
cp README.md "$out/README.md"
cp LICENSE "$out/LICENSE.txt"
# The administrative template, for PolicyDefinitions, a Central Store or Intune.
write_policy_template "$out"

bash tools/package/package-setup.sh "$out" "$version" "$out/tessaryn-setup.exe"
bash tools/package/package-msi.sh "$out" "$version"
bash tools/package/package-deb.sh "$out"
echo "package: $out"
ls -l "$out" "$out/32-bit" "$out/64-bit"
