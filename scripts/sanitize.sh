#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there.
set -euo pipefail
cd "$(dirname "$0")/.."
# clang: it builds this unoptimised, instrumented code in half the time gcc takes
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBUSLAUSCHER_SANITIZE=ON \
  -DBUSLAUSCHER_BENCHMARKS=OFF "$@"
cmake --build build-asan -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j2
