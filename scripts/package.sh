#!/usr/bin/env bash
# Builds the release files from a clean checkout into dist/: the Debian package, the Windows zip
# (Korvel.exe, korvel-cli.exe, README.txt, LICENSE.txt) and SHA256SUMS. Installs only what building them
# needs (no test framework, no Wine); the tests are not built.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package

version=$(sed -n 's/^project(korvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf dist && mkdir -p dist

echo "== the Debian package"
bash scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
cpack --config build-package/CPackConfig.cmake -B build-package/cpack >/dev/null
cp build-package/cpack/korvel_*_amd64.deb dist/

echo "== the Windows programs"
bash scripts/build.sh build-package-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
stage=build-package-win/Korvel-$version-win64
rm -rf "$stage" && mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/Korvel.exe" build-package-win/Korvel.exe
x86_64-w64-mingw32-strip -o "$stage/korvel-cli.exe" build-package-win/korvel-cli.exe
# Notepad on older Windows needs the byte-order mark to read UTF-8, and CR LF to break lines.
{ printf '\357\273\277'; sed 's/$/\r/' platform/win32/README.txt; } > "$stage/README.txt"
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
(cd "$stage" && cmake -E tar cf "../../dist/Korvel-$version-win64.zip" --format=zip \
  Korvel.exe korvel-cli.exe README.txt LICENSE.txt)

(cd dist && sha256sum -- * > SHA256SUMS)
echo "== dist/"
ls -l dist
