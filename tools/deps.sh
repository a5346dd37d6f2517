#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, when any is missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libzip-dev
          fonts-urw-base35 xvfb xauth x11-utils xdotool imagemagick
          clang libclang-rt-14-dev clang-format
          libbenchmark-dev zip unzip)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
