#!/usr/bin/env bash
# Builds the release files from a clean checkout into dist/: the Debian package, the Windows zip
# (Korvel.exe, korvel-cli.exe, README.txt, LICENSE.txt, japanese-fonts.reg) and SHA256SUMS. Installs only what building them
# needs (no test framework, no Wine); the tests are not built.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package

version=$(sed -n 's/^project(korvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf dist && mkdir -p dist

echo "== the Debian package"
bash scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
# Packages an earlier run (an earlier version) left in cpack's folder are not this run's: only the one
# built now is shipped.
rm -rf build-package/cpack
cpack --config build-package/CPackConfig.cmake -B build-package/cpack >/dev/null
cp "build-package/cpack/korvel_${version}_amd64.deb" dist/

echo "== the Windows programs"
bash scripts/build.sh build-package-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
stage=build-package-win/Korvel-$version-win64
bash scripts/stage-windows.sh build-package-win "$stage"
(cd "$stage" && cmake -E tar cf "../../dist/Korvel-$version-win64.zip" --format=zip \
  Korvel.exe korvel-cli.exe README.txt LICENSE.txt japanese-fonts.reg)

(cd dist && sha256sum -- * > SHA256SUMS)
echo "== dist/"
ls -l dist
