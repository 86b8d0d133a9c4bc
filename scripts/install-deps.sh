#!/usr/bin/env bash
# Installs the Debian packages cyclar needs, once: packages already present are not touched.
# Usage: scripts/install-deps.sh [build|test|fuzz]
#   test adds what the headless GUI checks and the fuzzers need; fuzz only the fuzzers' compiler.
set -euo pipefail

profile=${1:-build}
packages=(cmake g++ ninja-build pkg-config dpkg-dev qt6-base-dev libbenchmark-dev)
if [[ $profile == test ]]; then
  packages+=(xvfb xauth xdotool x11-utils imagemagick locales)
fi
if [[ $profile == test || $profile == fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
