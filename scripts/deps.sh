#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, if any are missing.
# Quiet when everything is there. Usage: scripts/deps.sh [run|test|web]
set -euo pipefail

# The two Japanese font packages and fontTools (with Brotli, for WOFF2) cut the faces the program
# carries built in.
run_packages=(cmake ninja-build g++ qt6-base-dev libgif-dev libfast-float-dev libfmt-dev fonts-ipafont-gothic fonts-noto-cjk
              python3 python3-fonttools python3-brotli)
# Qt's private headers let a test change the offscreen screen's refresh rate, as a platform does.
test_packages=(googletest libgtest-dev libgmock-dev qt6-base-private-dev python3 xvfb xauth xdotool imagemagick clang libclang-rt-14-dev
               libglib2.0-bin openbox wmctrl locales)
# The browser build: the compiler, the libraries' sources (dpkg-dev unpacks giflib's), the font
# tools and the three engines for the page's tests: headless Chromium, WebKitGTK (its MiniBrowser
# in Xvfb) and Firefox ESR (driven from Node by puppeteer-core, below).
web_packages=(cmake ninja-build emscripten libfast-float-dev libfmt-dev googletest dpkg-dev
  python3-fonttools python3-brotli fonts-ipafont-gothic fonts-noto-cjk chromium chromium-driver
  python3-selenium python3-pil webkit2gtk-driver xvfb xauth firefox-esr nodejs)

# From npm, installed globally (`npm root -g`) for the page's tests: axe-core checks what a
# screen reader gets of the page; puppeteer-core drives Firefox over WebDriver BiDi (24: 25 needs
# Node 22); eslint, its recommended rules and the browser's and Node's globals check the repo's
# JavaScript (eslint.config.js; 9 runs on Debian's Node 20).
web_npm_packages=(axe-core@4 puppeteer-core@24 eslint@9 @eslint/js@9 globals@16)
npm_wanted=()

case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
  web)
    wanted=("${web_packages[@]}")
    npm_wanted=("${web_npm_packages[@]}")
    # Node brings npm along where it comes from NodeSource; Debian's own Node has it apart.
    command -v npm >/dev/null || wanted+=(npm)
    ;;
  *)
    echo "usage: $0 [run|test|web]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [[ ${#missing[@]} -gt 0 ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root:  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]} ..."
  export DEBIAN_FRONTEND=noninteractive
  log=$(mktemp)
  if ! { apt-get update -q && apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "apt-get failed; see the lines above." >&2
    exit 1
  fi
  rm -f "$log"
fi

[[ ${#npm_wanted[@]} -eq 0 ]] && exit 0
npm_root=$(npm root -g)
npm_missing=()
for package in "${npm_wanted[@]}"; do
  [[ -f "$npm_root/${package%@*}/package.json" ]] || npm_missing+=("$package")
done
[[ ${#npm_missing[@]} -eq 0 ]] && exit 0
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing npm packages: ${npm_missing[*]}" >&2
  echo "Install them as root:  npm install -g ${npm_missing[*]}" >&2
  exit 1
fi
echo "Installing ${npm_missing[*]} from npm ..."
log=$(mktemp)
if ! npm install -g --no-audit --no-fund "${npm_missing[@]}" >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "npm install failed; see the lines above." >&2
  exit 1
fi
rm -f "$log"
