#!/usr/bin/env bash
# The Windows-only sources under clang too (syntax and warnings only, -Werror): the
# product is built with MinGW g++, and both compilers must find nothing to say. Run after
# the win32 build, which makes the delayed imports' entry lists.
set -euo pipefail
cd "$(dirname "$0")/.."
gcc_dir=/usr/lib/gcc/i686-w64-mingw32/12-posix/include/c++
status=0
for f in $(git ls-files 'base/*.cpp' 'win32/*.cpp' 'app/*.cpp' 'ui/*.cpp' 'saver/*.cpp' 'settings/*.cpp' 'scene/*.cpp' \
             'net/*.cpp' 'tests/support/*.cpp' 'tests/win32/*.cpp' 'tests/e2e/*.cpp' 'tests/e2e/*/*.cpp'); do
  if ! clang++ --target=i686-w64-mingw32 -std=c++20 -Wall -Wextra -Werror -fsyntax-only \
      -I. -Ibuild/win32/delay-imports -isystem "$gcc_dir" -isystem "$gcc_dir/i686-w64-mingw32" \
      -isystem /usr/i686-w64-mingw32/include -isystem /usr/src/googletest/googletest/include \
      -DTESSARYN_SCR_NAME='"tessaryn.scr"' "$f"; then
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "clang: the Windows sources are warning-free"
exit "$status"
