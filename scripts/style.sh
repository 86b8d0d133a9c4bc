#!/usr/bin/env bash
# The style checks: every tracked C++ file as the repository's .clang-format lays it out, and
# eslint (pinned in tests/web's lock file, configured by tests/web/eslint.config.mjs) over the
# browser edition and its tests. Prints each file that differs and what eslint finds.
# Usage: scripts/style.sh
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing (scripts/install-deps.sh test installs it)"
  exit 1
fi
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.inc')
# clang-format names each file it would change in its warnings ("FILE:LINE:COL: error: ...").
mapfile -t unformatted < <(printf '%s\0' "${sources[@]}" \
  | xargs -0 clang-format --dry-run --Werror 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' \
  | sort -u)
if ((${#unformatted[@]} > 0)); then
  echo "clang-format would change ${#unformatted[@]} of ${#sources[@]} C++ files (run clang-format -i on them):"
  printf '  %s\n' "${unformatted[@]}"
  status=1
else
  echo "clang-format: all ${#sources[@]} C++ files as .clang-format lays them out"
fi

(cd tests/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) || exit 1
if tests/web/node_modules/.bin/eslint --config tests/web/eslint.config.mjs web tests/web; then
  echo "eslint: nothing found in web/ and tests/web/"
else
  status=1
fi
exit $status
