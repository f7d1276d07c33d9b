#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tessik need, only those missing.
set -euo pipefail

packages=(g++ cmake make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev clang libclang-rt-14-dev xvfb xauth xdotool imagemagick
          bible-kjv xdg-utils)
[ "${1:-}" = "--runtime-only" ] && packages=(g++ cmake make pkg-config qt6-base-dev libgl-dev xdg-utils xvfb xauth)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
