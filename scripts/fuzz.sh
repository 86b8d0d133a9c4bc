#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a bounded time on a
# copy of its seed corpus. Usage: scripts/fuzz.sh [seconds per fuzzer, default 60]
# A crash, a sanitizer report or a broken invariant fails the run; the input that caused it is
# left in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCYCLAR_FUZZ=ON >/dev/null
cmake --build build/fuzz --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
artifacts=$PWD/build/fuzz/artifacts
mkdir -p "$artifacts"

status=0
for name in number_field frame export_args linkage_file task_file exercise_file design_tables; do
  corpus=$(mktemp -d)
  cp fuzz/corpus/$name/* "$corpus"/
  log=build/fuzz/$name.log
  echo "=== fuzz_$name for ${seconds}s ==="
  if build/fuzz/fuzz/fuzz_$name "$corpus" -max_total_time="$seconds" -timeout=20 \
      -rss_limit_mb=4096 -artifact_prefix="$artifacts/$name-" -print_final_stats=1 >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec|^#[0-9]+ *DONE" "$log" || true
  else
    echo "fuzz_$name FAILED; the end of its log:"
    tail -n 60 "$log"
    status=1
  fi
  rm -rf "$corpus"
done
exit $status
