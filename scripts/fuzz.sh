#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# the given number of seconds (default 30) from its seed corpus. Further
# arguments go to cmake. With FUZZ_BUILD=DIR the targets already built in DIR
# (a clang build configured with -DBUSLAUSCHER_FUZZ=ON, as CI's sanitizer
# build is) are run instead, without a build of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
build=${FUZZ_BUILD:-}
if [ -z "$build" ]; then
  build=build-fuzz
  CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUSLAUSCHER_FUZZ=ON -DBUSLAUSCHER_TESTS=OFF -DBUSLAUSCHER_BENCHMARKS=OFF "$@"
  # only the targets: the window and the programs are no part of them
  cmake --build "$build" -j2 --target "${targets[@]}"
fi
for target in "${targets[@]}"; do
  work=$(mktemp -d)
  cp fuzz/corpus/$target/* "$work"/
  # the texts typed and the files read can be long: let those targets reach 1 MB
  case $target in
    filter_fuzz|capture_fuzz) max_len=1048576 ;;
    *) max_len=4096 ;;
  esac
  echo "== $target: ${seconds}s (inputs up to $max_len bytes)"
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$work" 2>&1 | grep -E "DONE|stat::number_of_executed|ERROR|SUMMARY"
  rm -rf "$work"
done
