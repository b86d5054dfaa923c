#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, if any are missing.
# Quiet when everything is there. Usage: scripts/deps.sh [run|test|web]
set -euo pipefail

# The two Japanese font packages and fontTools (with Brotli, for WOFF2) cut the faces the program
# carries built in.
run_packages=(cmake ninja-build g++ qt6-base-dev libgif-dev libfast-float-dev libfmt-dev fonts-ipafont-gothic fonts-noto-cjk
              python3 python3-fonttools python3-brotli)
test_packages=(googletest libgtest-dev libgmock-dev python3 xvfb xauth xdotool imagemagick clang libclang-rt-14-dev
               libglib2.0-bin openbox wmctrl locales)
# The browser build: the compiler, the libraries' sources (dpkg-dev unpacks giflib's), the font
# tools and the three engines for the page's tests: Chromium, WebKitGTK (its MiniBrowser in Xvfb)
# and Firefox ESR (driven from Node by npm's puppeteer-core, installed in tests/web/node_modules).
web_packages=(cmake ninja-build emscripten libfast-float-dev libfmt-dev googletest dpkg-dev
  python3-fonttools python3-brotli fonts-ipafont-gothic fonts-noto-cjk chromium chromium-driver
  python3-selenium webkit2gtk-driver xvfb xauth firefox-esr nodejs)

case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
  web) wanted=("${web_packages[@]}") ;;
  *)
    echo "usage: $0 [run|test|web]" >&2
    exit 2
    ;;
esac

install() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages: $*" >&2
    echo "Install them as root:  apt-get install -y $*" >&2
    exit 1
  fi
  echo "Installing $* ..."
  export DEBIAN_FRONTEND=noninteractive
  log=$(mktemp)
  if ! { apt-get update -q && apt-get install -y -q --no-install-recommends "$@"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "apt-get failed; see the lines above." >&2
    exit 1
  fi
  rm -f "$log"
}

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
# Some builds of nodejs carry npm; Debian's own comes as a package of its own.
if [[ ${1:-test} == web ]] && ! command -v npm >/dev/null; then missing+=(npm); fi
[[ ${#missing[@]} -eq 0 ]] || install "${missing[@]}"
web_tests="$(dirname "$0")/../tests/web"
if [[ ${1:-test} == web && ! -f $web_tests/node_modules/puppeteer-core/package.json ]]; then
  if ! npm ci --prefix "$web_tests" --no-audit --no-fund --loglevel=error >/dev/null; then
    echo "npm could not install tests/web/package-lock.json's packages." >&2
    exit 1
  fi
fi

