#!/usr/bin/env bash
# Installs what building and testing Korvel needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libgmock-dev pkg-config libxcb1-dev dpkg-dev
          clang-14 libclang-rt-14-dev python3
          qt6-base-dev fonts-ipafont-gothic xvfb xauth
          g++-mingw-w64-x86-64-posix googletest wine wine64 libcli11-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
