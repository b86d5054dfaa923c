#!/usr/bin/env bash
# The browser build: installs what is missing (emscripten, the three browsers, the font tools),
# fetches giflib's Debian sources once, builds build-web with emscripten and runs its tests (the
# core's tests compiled to WebAssembly under Node, the page tooling in headless Chromium, the
# page's behaviour and traces in WebKitGTK and Firefox too) and prints the path of the program's
# page.
# Usage: scripts/web.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh web
# Emscripten's JavaScript optimiser needs Debian's acorn, which only Debian's Node finds by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

# The pictures and data files are drawn by the desktop build's tools.
if [[ ! -f build/assets/kepler.bmp || ! -f build/assets/Suisei-kouten-Koukei.dat ]]; then
  scripts/deps.sh run
  scripts/build.sh build
fi

dir=build-web
scripts/giflib-source.sh "$dir/giflib"
options=()
if [[ ! -f $dir/build.ninja ]]; then
  options=(-DCMAKE_TOOLCHAIN_FILE="$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake"
    -DCMAKE_BUILD_TYPE=Release)
fi
scripts/build.sh "$dir" "${options[@]}"
scripts/ctest.sh "$dir" --timeout 300
echo "$PWD/$dir/web/kepler-laws.html"
