#!/usr/bin/env bash
# Installs what is missing, builds the optimised flavour and runs the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
scripts/build.sh release
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "cyclar is built (build/release/app/cyclar) but there is no display to show it on." >&2
  echo "Run it from a desktop session, or headless: xvfb-run -a build/release/app/cyclar" >&2
  exit 1
fi
exec build/release/app/cyclar "$@"
