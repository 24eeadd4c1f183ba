#!/usr/bin/env bash
# The Windows sources under clang too (syntax and warnings only, -Werror): the product
# is built with MinGW g++, and both compilers must find nothing to say. One clang per
# core: the files are independent. Run after the win32 build, which makes the delayed
# imports' entry lists.
set -euo pipefail
cd "$(dirname "$0")/../.."
gcc_dir=/usr/lib/gcc/i686-w64-mingw32/12-posix/include/c++
# Everything but the native-only tools, the Linux hack, the GLX and OSMesa contexts, their tests.
git ls-files -z '*.cpp' ':!tools/*' ':!tests/native/*' ':!xscreensaver/*' ':!scene/glx/*' ':!scene/osmesa/*' ':!tests/xscreensaver/*' |
  xargs -0 -n 4 -P "$(nproc)" \
    clang++ --target=i686-w64-mingw32 -std=c++20 -Wall -Wextra -Werror -fsyntax-only \
    -I. -Ibuild/win32/delay-imports -isystem "$gcc_dir" -isystem "$gcc_dir/i686-w64-mingw32" \
    -isystem /usr/i686-w64-mingw32/include -isystem /usr/src/googletest/googletest/include \
    -DTESSARYN_SCR_NAME='"tessaryn.scr"'
echo "clang: the Windows sources are warning-free"
