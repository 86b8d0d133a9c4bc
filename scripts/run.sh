#!/usr/bin/env bash
# Installs what is missing, builds the optimised flavour and runs the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
scripts/build.sh release
exec build/release/tools/cyclar-export model --dims 50,30,35,40,45,-35 "$@"
