#!/usr/bin/env bash
# Builds everything but the benchmarks with AddressSanitizer and UBSan
# (TORVEL_SANITIZE) in build-sanitize/ and runs every test there; any report
# of either fails the test that caused it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build-sanitize"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVEL_SANITIZE=ON -DTORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest --output-on-failure -j2
