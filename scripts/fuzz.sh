#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz) under libFuzzer with AddressSanitizer and
# UBSan for SECONDS in all (default 600), shared evenly between the targets and
# run one after another. Builds with clang in build-fuzz/; each target starts
# from its committed corpus and keeps what it finds in build-fuzz/corpus/NAME,
# a failing input in build-fuzz/artifacts/. Ends with each target's runs and
# result, and fails when a target did. BUILD_WRAPPER, when set, is put before the
# build command alone (e.g. "flock /tmp/build.lock" where builds take turns).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
total="${1:-600}"
# clang and its fuzzer and sanitizer runtimes are needed here only.
"$root/scripts/deps.sh" clang libclang-rt-14-dev

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTORVEL_FUZZ=ON -DTORVEL_SANITIZE=ON -DTORVEL_BUILD_GUI=OFF -DTORVEL_BUILD_BENCH=OFF >/dev/null
names=()
for f in "$root"/tests/fuzz/fuzz_*.cpp; do
  n="$(basename "$f" .cpp)"
  names+=("${n#fuzz_}")
done
${BUILD_WRAPPER:-} cmake --build "$build" -j"$(nproc)" --target "${names[@]/#/fuzz_}"

per=$((total / ${#names[@]}))
[ "$per" -ge 1 ] || per=1
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p "$build/artifacts" "$build/logs"
summary=()
failed=0
for n in "${names[@]}"; do
  mkdir -p "$build/corpus/$n"
  log="$build/logs/$n.log"
  echo "fuzz_$n: ${per} s"
  status=0
  "$build/tests/fuzz/fuzz_$n" -max_total_time="$per" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$n-" "$build/corpus/$n" "$root/tests/fuzz/corpus/$n" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -eq 0 ]; then
    result="no fault"
  else
    result="FAILED (exit $status, see $log)"
    failed=1
    tail -n 30 "$log"
  fi
  summary+=("$(printf '%-24s %12s runs  %s' "fuzz_$n" "${runs:-?}" "$result")")
done
printf '%s\n' "${summary[@]}"
exit "$failed"
