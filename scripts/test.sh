#!/usr/bin/env bash
# test.sh: installs what is missing, builds every tree, and runs every test through one ctest,
# inside a network namespace of its own (loopback only, private Xvfb display).
set -euo pipefail
cd "$(dirname "$0")/.."
B=${VD_BUILD_ROOT:-build}  # a second checkout or helper can build elsewhere
bash scripts/setup.sh
trees="native win32 asan"
bash scripts/build.sh $trees
# One ctest drives the native, sanitized and Wine tests, so they report in one summary.
{
  for t in $trees; do echo "subdirs(\"$t\")"; done
} >$B/CTestTestfile.cmake
exec scripts/netns.sh ctest --test-dir "$B" --output-on-failure -j "$(nproc)" "$@"
