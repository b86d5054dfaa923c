#!/usr/bin/env bash
# Bounded fuzz runs, for CI and by hand: builds the libFuzzer targets with clang, ASan and UBSan in
# build-fuzz, runs each named target (default: both) for the given number of seconds (default 60)
# over a temporary copy of its seed corpus, and prints libFuzzer's final figures.
#   field_reader_fuzz  the data-file field reader   (seeds in fuzz/corpus)
#   picture_fuzz       the GIF and BMP decoders     (seeds in fuzz/picture_corpus)
# Exits non-zero on a crash (the reproducer is kept in build-fuzz/artifacts/) or a build failure.
#
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail

seconds="${1:-60}"
if [[ ! "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds] [field_reader_fuzz|picture_fuzz ...]   (seconds per target, default 60)" >&2
  exit 2
fi
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(field_reader_fuzz picture_fuzz)
for target in "${targets[@]}"; do
  if [[ "$target" != field_reader_fuzz && "$target" != picture_fuzz ]]; then
    echo "fuzz.sh: no target '$target' (field_reader_fuzz, picture_fuzz)" >&2
    exit 2
  fi
done

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
  ! ninja -C "$build" "${targets[@]}" >>"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log" >&2
  echo "fuzz.sh: building ${targets[*]} failed" >&2
  exit 1
fi
mkdir -p "$build/artifacts"

failed=0
for target in "${targets[@]}"; do
  # -max_len: above the reader's 4096-byte field bound, so that too-long fields stay reachable;
  # for pictures room for a small whole picture. -timeout turns a hang on one input into a failure.
  if [[ $target == field_reader_fuzz ]]; then
    seeds_dir="$root/fuzz/corpus"
    max_len=10000
  else
    seeds_dir="$root/fuzz/picture_corpus"
    max_len=65536
  fi
  corpus="$work/corpus-$target"
  cp -r "$seeds_dir" "$corpus"
  seeds="$(find "$corpus" -type f | wc -l)"
  echo "== $target, $seconds s"
  status=0
  "$build/fuzz/$target" "$corpus" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" >"$work/fuzz.log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|^stat::' "$work/fuzz.log" || true
  echo "corpus: $seeds seed files, $(find "$corpus" -type f | wc -l) after the run"
  if [[ $status -ne 0 ]]; then
    echo "fuzz.sh: $target failed (exit $status); its last output:" >&2
    tail -n 60 "$work/fuzz.log" >&2
    echo "fuzz.sh: reproducers, if any, are in $build/artifacts/" >&2
    failed=1
  else
    echo "crashes: 0"
  fi
done
exit $failed
