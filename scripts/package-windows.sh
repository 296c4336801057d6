#!/usr/bin/env bash
# Builds the Windows release: build-win/Korvel-VERSION-win64.zip with Korvel.exe, korvel-cli.exe, the
# user's README (Japanese and English) and the licence. Both programs are single static .exe files;
# nothing else needs installing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
bash scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_BENCH=OFF

version=$(sed -n 's/^project(korvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build-win/release
rm -rf "$stage" && mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/Korvel.exe" build-win/Korvel.exe
x86_64-w64-mingw32-strip -o "$stage/korvel-cli.exe" build-win/korvel-cli.exe
# Notepad on older Windows needs the byte-order mark to read UTF-8, and CR LF to break lines.
{ printf '\357\273\277'; sed 's/$/\r/' platform/win32/README.txt; } > "$stage/README.txt"
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
zip="build-win/Korvel-$version-win64.zip"
rm -f "$zip"
(cd "$stage" && python3 -m zipfile -c "../$(basename "$zip")" Korvel.exe korvel-cli.exe README.txt LICENSE.txt)
echo "$zip"
