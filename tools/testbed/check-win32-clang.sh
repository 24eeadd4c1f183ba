#!/usr/bin/env bash
# The Windows sources under clang too (syntax and warnings only, -Werror): the product
# is built with MinGW g++, and both compilers must find nothing to say. One clang per
# core: the files are independent. Needs the win32 preset configured (not built): its
# configure step writes the delayed imports' entry lists.
#
# Parsing the standard library, <windows.h> and GoogleTest took most of the time, again
# in every file, so they are parsed once into precompiled headers that each file starts
# from. The sources set no macro before them but WIN32_LEAN_AND_MEAN, which the headers
# set too. A source that forgets one of them passes here and in the g++ builds, which
# precompile the same headers; a build configured with
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON finds it.
set -euo pipefail
cd "$(dirname "$0")/../.."
gcc_dir=/usr/lib/gcc/i686-w64-mingw32/12-posix/include/c++
flags=(--target=i686-w64-mingw32 -std=c++20 -Wall -Wextra -Werror
  -I. -Ibuild/win32/delay-imports -isystem "$gcc_dir" -isystem "$gcc_dir/i686-w64-mingw32"
  -isystem /usr/i686-w64-mingw32/include -isystem /usr/src/googletest/googletest/include
  -DTESSARYN_SCR_NAME='"tessaryn.scr"')
if [ ! -d build/win32/delay-imports ]; then
  echo "clang: configure the win32 preset first (cmake --preset win32)" >&2
  exit 1
fi

pch=build/clang-pass
rm -rf "$pch"
mkdir -p "$pch"
for header in cstddef cstdint algorithm array functional memory optional stdexcept string \
  string_view utility vector; do
  echo "#include <$header>"
done >"$pch/std.h"
printf '#define WIN32_LEAN_AND_MEAN\n#include <windows.h>\n' >>"$pch/std.h"
{
  cat "$pch/std.h"
  echo "#include <gtest/gtest.h>"
} >"$pch/tests.h"
clang++ "${flags[@]}" -x c++-header "$pch/std.h" -o "$pch/std.h.pch" &
std_pid=$!
clang++ "${flags[@]}" -x c++-header "$pch/tests.h" -o "$pch/tests.h.pch"
wait "$std_pid"

# Everything but the native-only tools, the Linux hack, the GLX and OSMesa contexts, their tests.
sources=$pch/sources
git ls-files '*.cpp' ':!tools/*' ':!tests/native/*' ':!xscreensaver/*' ':!scene/glx/*' \
  ':!scene/osmesa/*' ':!tests/xscreensaver/*' >"$sources"
check() {
  tr '\n' '\0' | xargs -0 -r -n 4 -P "$(nproc)" clang++ "${flags[@]}" -include-pch "$1" -fsyntax-only
}
grep -v '^tests/' "$sources" | check "$pch/std.h.pch"
grep '^tests/' "$sources" | check "$pch/tests.h.pch"
echo "clang: the Windows sources are warning-free"
