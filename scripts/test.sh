#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: core, GUI (offscreen), assets, data
# files and end-to-end runs of the real window under Xvfb; then the browser build's tests
# (scripts/web.sh).
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build in build-asan,
# without the browser build)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
dir=build
options=()
if [[ "${1:-}" == --sanitize ]]; then
  dir=build-asan
  [[ -f $dir/build.ninja ]] || options=(-DKEPLER_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
fi
scripts/build.sh "$dir" "${options[@]}"
scripts/ctest.sh "$dir" --timeout 900
if [[ $dir == build ]]; then scripts/web.sh; fi
