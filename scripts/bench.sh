#!/usr/bin/env bash
# Builds kepler-bench in build/ if it is missing or out of date, then runs it from the asset folder
# and prints its table. A full run plays every demonstration at real speed (about four minutes).
# Usage: scripts/bench.sh [--quick] [--only N]
set -euo pipefail
cd "$(dirname "$0")/.."
# kepler-bench depends on kepler-laws and on the pictures and data files, so they are built too.
scripts/build.sh build --target kepler-bench
cd build/assets
exec ../bench/kepler-bench "$@"
