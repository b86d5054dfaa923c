#!/usr/bin/env bash
# Installs what is missing, builds the program and its files, and opens the window from the
# folder that holds its pictures and data files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
scripts/build.sh build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display to open the window on. Run this from a desktop session, or under a virtual" >&2
  echo "display:  xvfb-run -a -s '-screen 0 1280x800x24' scripts/run.sh" >&2
  exit 1
fi
cd build/assets
exec ../src/kepler-laws
