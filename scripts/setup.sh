#!/usr/bin/env bash
# Installs what Korvel needs on Debian 12, skipping what is already there.
#   scripts/setup.sh        what building and running Korvel needs (the compiler, CMake, Qt, the fonts)
#   scripts/setup.sh package   that and what the release files need (mingw-w64 for the Windows programs,
#                              dpkg-dev and file for the Debian package)
#   scripts/setup.sh test   that and what the tests need (GoogleTest, clang for the fuzzer, Xvfb, Wine and
#                           mingw-w64 for the Windows build, dpkg-dev for the package)
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config python3 libxcb1-dev libxcb-xfixes0-dev qt6-base-dev fonts-ipafont-gothic libcli11-dev)
if [ "${1:-}" = package ]; then
  packages+=(g++-mingw-w64-x86-64-posix dpkg-dev file)
fi
if [ "${1:-}" = test ]; then
  packages+=(libgtest-dev libgmock-dev googletest dpkg-dev file clang-14 libclang-rt-14-dev python3 xvfb xauth
             python3-ezdxf librecad librsvg2-bin
             g++-mingw-w64-x86-64-posix wine wine64 desktop-file-utils)
fi

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
