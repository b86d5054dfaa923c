#!/bin/sh
# Compiles the locales the tests play the program in (a decimal comma, Japanese) into a folder
# for LOCPATH, so that they run on a machine that has generated no locale. Needs Debian's
# `locales` package for the definitions. Usage: make_locales.sh DIR
set -eu
dir=$1
mkdir -p "$dir"
for name in de_DE fr_FR ja_JP; do
  [ -f "$dir/$name.UTF-8/LC_NUMERIC" ] && continue
  # -c: the definitions' harmless warnings must not stop the compilation.
  localedef -c -i "$name" -f UTF-8 "$dir/$name.UTF-8" || true
  if [ ! -f "$dir/$name.UTF-8/LC_NUMERIC" ]; then
    echo "could not compile the locale $name.UTF-8 into $dir (is the locales package installed?)" >&2
    exit 1
  fi
done
