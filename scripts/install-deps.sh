#!/usr/bin/env bash
# Installs the Debian packages cyclar needs, once: packages already present are not touched.
# Usage: scripts/install-deps.sh [build|test|fuzz|web]
#   test adds what the headless GUI checks, the fuzzers and the browser tests need; fuzz only the
#   fuzzers' compiler; web what the browser edition is built and tested with.
set -euo pipefail

profile=${1:-build}
packages=(cmake g++ ninja-build pkg-config dpkg-dev qt6-base-dev qt6-svg-dev libgif-dev libbenchmark-dev
  nlohmann-json3-dev)
if [[ $profile == test ]]; then
  packages+=(xvfb xauth xdotool x11-utils imagemagick locales)
  # The package checks: lintian, AppStream, the desktop entry and the MIME type.
  packages+=(lintian appstream desktop-file-utils shared-mime-info)
  # Faults injected into the system's calls, to test every file writer without root.
  packages+=(fiu-utils)
  # The layout check of every C++ file.
  packages+=(clang-format)
fi
if [[ $profile == test || $profile == fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The browser edition: the WebAssembly compiler (its optimiser needs node-acorn), the font
# subsetter, and the browser its tests drive. Node and npm come from Debian unless the machine
# already has them from elsewhere.
if [[ $profile == web || $profile == test ]]; then
  packages+=(emscripten node-acorn python3-fonttools python3-brotli chromium)
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
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
