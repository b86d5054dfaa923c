#!/bin/sh
# Starts Kepler's laws from any directory: the program reads its pictures and data files by bare
# name from its working directory, which is the installed share folder.
here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
cd "$prefix/share/kepler-laws" || exit 1
exec "$prefix/libexec/kepler-laws/kepler-laws" "$@"
