#!/usr/bin/env bash
# Bounded fuzz run of the data-file field reader, for CI and by hand: builds field_reader_fuzz
# with clang, ASan and UBSan in build-fuzz, runs it for the given number of seconds (default 60)
# over a temporary copy of fuzz/corpus and prints libFuzzer's final figures.
# Exits non-zero on a crash (the reproducer is kept in build-fuzz/artifacts/) or a build failure.
#
#   scripts/fuzz.sh [seconds]
set -euo pipefail

seconds="${1:-60}"
if [[ ! "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds]   (a positive whole number of seconds, default 60)" >&2
  exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz.sh: $tool not found" >&2
    exit 2
  fi
done

# Debian ships libFuzzer's runtime apart from the compiler.
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$work/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$work/probe.cpp" -o "$work/probe" \
  >"$work/probe.log" 2>&1; then
  major="$(clang++ -dumpversion | cut -d. -f1)"
  echo "fuzz.sh: clang++ cannot link libFuzzer with ASan/UBSan; install libclang-rt-${major}-dev" >&2
  echo "         (apt-get install libclang-rt-${major}-dev)" >&2
  exit 2
fi

if [[ -f "$build/CMakeCache.txt" ]] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++' "$build/CMakeCache.txt"; then
  echo "fuzz.sh: $build was configured with another compiler; remove it and run again" >&2
  exit 2
fi

if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEPLER_FUZZ=ON -DKEPLER_SANITIZE=ON -DBUILD_TESTING=OFF \
  >"$work/build.log" 2>&1 ||
  ! ninja -C "$build" field_reader_fuzz >>"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  echo "fuzz.sh: building field_reader_fuzz failed" >&2
  exit 1
fi

cp -r "$root/fuzz/corpus" "$work/corpus"
mkdir -p "$build/artifacts"
seeds="$(find "$work/corpus" -type f | wc -l)"

# -max_len above the 4096-byte field bound, so that too-long fields stay reachable;
# -timeout turns a hang on one input into a failure.
status=0
"$build/fuzz/field_reader_fuzz" "$work/corpus" \
  -max_total_time="$seconds" -max_len=10000 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/" >"$work/fuzz.log" 2>&1 || status=$?

grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|^stat::' "$work/fuzz.log" || true
echo "corpus: $seeds seed files, $(find "$work/corpus" -type f | wc -l) after the run"
if [[ $status -ne 0 ]]; then
  echo "fuzz.sh: field_reader_fuzz failed (exit $status); its last output:" >&2
  tail -n 60 "$work/fuzz.log" >&2
  echo "fuzz.sh: reproducers, if any, are in $build/artifacts/" >&2
  exit 1
fi
echo "crashes: 0"
