#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: optimised, and
# under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0

status=0
for flavour in release asan; do
  echo "=== $flavour build ==="
  scripts/build.sh "$flavour"
  echo "=== $flavour tests ==="
  if ! ctest --test-dir "build/$flavour" --output-on-failure --parallel "$(nproc)"; then
    status=1
  fi
done
exit $status
