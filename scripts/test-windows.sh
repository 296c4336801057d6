#!/usr/bin/env bash
# Cross-compiles the Windows programs and their tests with mingw-w64 and runs them under Wine on a private
# Xvfb display, in a fresh Wine prefix inside the build folder; then checks that the Windows and Linux
# command lines agree (scripts, traces, canvases). Expects the Linux build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== Windows build (mingw-w64)"
bash scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_BENCH=OFF

export KORVEL_WINEPREFIX="$PWD/build-win/wineprefix"
export WINEPREFIX="$KORVEL_WINEPREFIX" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== a fresh Wine prefix"
  wineboot -i >/dev/null 2>&1
  # The window's and the drawings' Japanese faces, served by the IPA fonts.
  iconv -f UTF-8 -t UTF-16 platform/win32/fonts.reg.txt > build-win/fonts.reg
  wine regedit /S "$(winepath -w build-win/fonts.reg 2>/dev/null)"
fi
wineserver -p 60  # one server for all the runs below
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Windows tests under Wine"
sh tests/xvfb_run.sh ctest --test-dir build-win --output-on-failure

echo "== Windows and Linux agree"
sh tests/xvfb_run.sh python3 tests/cross_platform_test.py build build-win

echo "== the Windows release archive"
zip=$(bash scripts/package-windows.sh | tail -1)
unpacked=$(mktemp -d)
python3 -m zipfile -e "$zip" "$unpacked"
platform/win32/wine_run.sh "$unpacked/korvel-cli.exe" --version
platform/win32/wine_run.sh "$unpacked/korvel-cli.exe" check examples/plan.jwwin
rm -rf "$unpacked"
echo "$zip holds Korvel.exe, korvel-cli.exe and README.txt"
