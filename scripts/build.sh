#!/usr/bin/env bash
# Configures and builds into a build folder, printing only what went wrong.
# Usage: scripts/build.sh BUILD_DIR [cmake options...] [--target TARGET]
#   (cmake options reconfigure the folder; --target builds that target and what it needs only)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
options=()
targets=()
while [[ $# -gt 0 ]]; do
  if [[ $1 == --target ]]; then
    targets+=("$2")
    shift 2
  else
    options+=("$1")
    shift
  fi
done
log="$dir.log"
mkdir -p "$dir"
if [[ ! -f "$dir/build.ninja" ]] || [[ ${#options[@]} -gt 0 ]]; then
  if ! cmake -S . -B "$dir" -G Ninja "${options[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    echo "Configuring $dir failed." >&2
    exit 1
  fi
fi
if ! ninja -C "$dir" "${targets[@]}" >"$log" 2>&1; then
  grep -E "error|Error|FAILED" -A5 "$log" | head -n 80 >&2
  echo "Building $dir failed; the whole log is in $log." >&2
  exit 1
fi
rm -f "$log"
