#!/usr/bin/env bash
# The long runs at full length: 1,000,000 ticks at the fastest speed and 20,000 Back/Submit
# cycles, in the optimised build (add "asan" to run them under the sanitizers, with
# LeakSanitizer checking at exit). Prints the memory and stack figures.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
scripts/install-deps.sh build
scripts/build.sh "$flavour"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
CYCLAR_SOAK_TICKS=${CYCLAR_SOAK_TICKS:-1000000} CYCLAR_SOAK_CYCLES=${CYCLAR_SOAK_CYCLES:-20000} \
  "build/$flavour/tests/tst_soak" -maxwarnings 0
