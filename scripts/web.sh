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

# The pictures, the data files and the web app's icons are drawn by the desktop build's tools
# (the `assets` and `data_files` targets and what they need, not the whole desktop build).
if [[ ! -f build/assets/kepler.bmp || ! -f build/assets/Suisei-kouten-Koukei.dat ||
      ! -f build/icon/web/apple-touch-icon.png ]]; then
  scripts/deps.sh run
  scripts/build.sh build --target assets --target data_files
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
