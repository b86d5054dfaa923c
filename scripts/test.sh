#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: core, GUI (offscreen), assets, data
# files and end-to-end runs of the real window under Xvfb.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build in build-asan)
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
log="$PWD/$dir/ctest.log"
if (cd "$dir" && ctest --output-on-failure -j2 --timeout 900 >"$log" 2>&1); then
  grep -E "tests passed|Total Test time" "$log"
else
  grep -v -E "^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed" "$log" | tail -n 200 >&2
  echo "Tests failed in $dir; the whole log is in $log." >&2
  exit 1
fi
