#!/usr/bin/env bash
# Builds the browser edition and runs its tests: Playwright driving Debian's chromium, headless,
# against the built folder served on a loopback port. The pixel tests compare with the desktop's
# cyclar-export, built here in the optimised flavour if it is missing.
# Usage: scripts/web-test.sh [playwright test arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/web.sh --build build/web/site
if [[ ! -x build/release/tools/cyclar-export ]]; then
  cmake --build build/release --parallel "$(nproc)" --target cyclar-export
fi

cd tests/web
# The pinned test runner from the lock file; it drives the system's chromium and downloads none.
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
CYCLAR_WEB_SITE=$PWD/../../build/web/site exec node_modules/.bin/playwright test "$@"
