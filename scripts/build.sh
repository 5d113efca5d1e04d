#!/usr/bin/env bash
# build.sh [native|win32|asan ...]: configures and builds the given trees under $B/.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${VD_BUILD_ROOT:-build}  # a second checkout or helper can build elsewhere
jobs=$(nproc)
mkdir -p "$B"
for t in "${@:-native win32}"; do
  for tree in $t; do
    case $tree in
      native) cmake -S . -B $B/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ;;
      asan) cmake -S . -B $B/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVD_SANITIZE=ON \
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
      win32) cmake -S . -B $B/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
               -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null ;;
      *) echo "unknown tree $tree" >&2; exit 2 ;;
    esac
    if ! cmake --build $B/$tree -j "$jobs" >$B/$tree.log 2>&1; then
      cat $B/$tree.log >&2
      exit 1
    fi
    grep -iE 'warning' $B/$tree.log >&2 || true
  done
done
