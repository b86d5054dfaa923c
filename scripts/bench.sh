#!/usr/bin/env bash
# Builds kepler-bench in build/ if it is missing or out of date, then runs it from the asset folder
# and prints its table. A full run plays every demonstration at real speed (about four minutes).
# Usage: scripts/bench.sh [--quick] [--only N]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
log="$build.bench.log"

if [[ ! -f "$build/build.ninja" ]]; then
  if ! cmake -S "$root" -B "$build" -G Ninja >"$log" 2>&1; then
    cat "$log" >&2
    echo "bench.sh: configuring $build failed" >&2
    exit 1
  fi
fi
# kepler-bench depends on kepler-laws and on the pictures and data files, so they are built too.
if ! ninja -C "$build" kepler-bench >"$log" 2>&1; then
  grep -E "error|Error|FAILED" -A5 "$log" | head -n 60 >&2
  echo "bench.sh: building kepler-bench failed; the whole log is in $log" >&2
  exit 1
fi
rm -f "$log"

cd "$build/assets"
exec "$build/bench/kepler-bench" "$@"
