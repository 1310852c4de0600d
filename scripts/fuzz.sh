#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# the given number of seconds (default 30) from its seed corpus. Further
# arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUSLAUSCHER_FUZZ=ON -DBUSLAUSCHER_TESTS=OFF -DBUSLAUSCHER_BENCHMARKS=OFF "$@"
targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
# only the targets: the window and the programs are no part of them
cmake --build build-fuzz -j2 --target "${targets[@]}"
for source in fuzz/*_fuzz.cpp; do
  target=$(basename "$source" .cpp)
  work=$(mktemp -d)
  cp fuzz/corpus/$target/* "$work"/
  echo "== $target: ${seconds}s"
  build-fuzz/fuzz/$target -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$target-" "$work" 2>&1 | grep -E "DONE|stat::number_of_executed|ERROR|SUMMARY"
  rm -rf "$work"
done
