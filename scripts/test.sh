#!/usr/bin/env bash
# Installs what is missing, checks the style (clang-format, eslint), then builds (configuring
# checks the layers' order) and runs the whole test suite: the optimised build and the
# AddressSanitizer + UndefinedBehaviorSanitizer build under CTest, the program itself clicked
# through on a virtual display, the browser edition in headless Chromium, and each fuzzer for a
# short while; the Debian package is built and checked with lintian after the suites.
# CYCLAR_FUZZ_SECONDS sets the fuzzers' time each (default 45; 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0

status=0
echo "=== style: clang-format and eslint ==="
if ! scripts/style.sh; then
  status=1
fi

for flavour in release asan; do
  echo "=== $flavour build ==="
  scripts/build.sh "$flavour"
  echo "=== $flavour tests ==="
  if ! ctest --test-dir "build/$flavour" --output-on-failure --parallel "$(nproc)"; then
    status=1
  fi
done

echo "=== the Debian package, checked by lintian ==="
if ! scripts/package-check.sh build/release; then
  status=1
fi

echo "=== the program, clicked through under Xvfb ==="
if ! scripts/e2e.sh build/release/app/cyclar build/e2e; then
  status=1
fi

# --- the browser edition: built to WebAssembly, tested with Playwright in headless Chromium ---
echo "=== the web edition in headless Chromium ==="
if ! scripts/web-test.sh; then
  status=1
fi
# --- end of the browser edition ---

seconds=${CYCLAR_FUZZ_SECONDS:-45}
if [[ $seconds != 0 ]]; then
  echo "=== fuzzers, ${seconds}s each ==="
  if ! scripts/fuzz.sh "$seconds"; then
    status=1
  fi
fi
exit $status
