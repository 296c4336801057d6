#!/usr/bin/env bash
# Builds the Windows release: build-win/Korvel-VERSION-win64.zip with Korvel.exe, korvel-cli.exe, the
# user's README (Japanese and English), the licence and the Wine font settings. Both programs are single static .exe files;
# nothing else needs installing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
bash scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_BENCH=OFF

version=$(sed -n 's/^project(korvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build-win/release
bash scripts/stage-windows.sh build-win "$stage"
zip="build-win/Korvel-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && python3 -m zipfile -c "../$(basename "$zip")" Korvel.exe korvel-cli.exe README.txt LICENSE.txt japanese-fonts.reg)
echo "$zip"
