#!/usr/bin/env bash
# Configures and builds one flavour of cyclar: release (optimised) or asan (sanitizers).
# Usage: scripts/build.sh release|asan
set -euo pipefail
cd "$(dirname "$0")/.."

flavour=${1:-release}
case $flavour in
  release) options=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCYCLAR_SANITIZE=ON -DCYCLAR_BUILD_BENCH=OFF) ;;
  *) echo "usage: $0 release|asan" >&2; exit 2 ;;
esac

cmake -S . -B "build/$flavour" -G Ninja "${options[@]}" >/dev/null
cmake --build "build/$flavour" --parallel "$(nproc)"
