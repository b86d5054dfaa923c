#!/usr/bin/env bash
# Unpacks giflib's Debian source package, Debian's patches applied, into DIR/source for the
# browser build, which compiles it with emcc. Only Debian's archive is asked, through a source
# list of its own, so the machine's apt setup is left alone. Nothing to do when DIR/source exists.
# Usage: scripts/giflib-source.sh DIR
set -euo pipefail
dir=$(realpath -m "$1")
[[ -f $dir/source/gif_lib.h ]] && exit 0

work="$dir/download"
rm -rf "$work" "$dir/source"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/sources.list"
apt_options=(-q -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache")
# The desktop build links the installed libgif; take the same version's sources where there is one.
package=giflib
if version=$(dpkg-query -W -f='${source:Version}' libgif-dev 2>/dev/null) && [[ -n $version ]]; then
  package="giflib=$version"
fi
log="$work/apt.log"
if ! { apt-get "${apt_options[@]}" update &&
  (cd "$work" && { apt-get "${apt_options[@]}" source --download-only "$package" ||
    apt-get "${apt_options[@]}" source --download-only giflib; }) &&
  dpkg-source --no-copy -x "$(ls "$work"/giflib_*.dsc)" "$dir/source"; } >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "giflib-source.sh: could not fetch giflib's sources from Debian; the log is in $log" >&2
  exit 1
fi
rm -rf "$work"
