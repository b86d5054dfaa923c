#!/usr/bin/env bash
# Runs a build folder's tests, two at a time, printing the summary, or on failure every line but
# the passed ones. Usage: scripts/ctest.sh BUILD_DIR [ctest options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
log="$PWD/$dir/ctest.log"
if (cd "$dir" && ctest --output-on-failure -j2 "$@" >"$log" 2>&1); then
  grep -E "tests passed|Total Test time" "$log"
else
  grep -v -E "^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed" "$log" | tail -n 200 >&2
  echo "Tests failed in $dir; the whole log is in $log." >&2
  exit 1
fi
