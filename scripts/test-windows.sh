#!/usr/bin/env bash
# Cross-compiles the Windows programs and their tests with mingw-w64 and runs them under Wine on a private
# Xvfb display, in a fresh Wine prefix inside the build folder; then checks that the Windows and Linux
# command lines agree (scripts, traces, canvases). Expects the Linux build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
# Everything below runs on one private X display, which the Wine session and its windows live on.
if [ -z "${KORVEL_ON_XVFB:-}" ]; then
  KORVEL_ON_XVFB=1 exec sh tests/xvfb_run.sh bash "$0" "$@"
fi

echo "== Windows build (mingw-w64)"
bash scripts/build.sh build-win -DCMAKE_TOOLCHAIN_FILE=platform/win32/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_BENCH=OFF

export KORVEL_WINEPREFIX="$PWD/build-win/wineprefix"
export WINEPREFIX="$KORVEL_WINEPREFIX" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== a fresh Wine prefix"
  wineboot -i >/dev/null 2>&1
  # The window's and the drawings' Japanese faces, and the menus' and messages' (Tahoma, which has no
  # Japanese), served by the IPA fonts as a Japanese Windows serves them by its own.
  bash scripts/stage-windows.sh build-win build-win/release
  wine regedit /S "$(winepath -w build-win/release/japanese-fonts.reg 2>/dev/null)"
fi
# One Wine session for all the runs below. A background process holds it open, so that Wine's own
# services start once, on that process's quiet handles: started by a test they would hold the test's
# output pipe open and CTest would wait for them.
wineserver -k 2>/dev/null || true
session_input=$(mktemp -u)
mkfifo "$session_input"
exec 4<>"$session_input"  # an input that never ends while this script runs
wine cmd <"$session_input" >/dev/null 2>&1 &
trap 'wineserver -k 2>/dev/null || true; rm -f "$session_input"' EXIT
wine cmd /c exit >/dev/null 2>&1

echo "== Windows tests under Wine"
ctest --test-dir build-win --output-on-failure

echo "== Windows and Linux agree"
python3 tests/cross_platform_test.py build build-win

echo "== the Windows release archive"
zip=$(bash scripts/package-windows.sh | tail -1)
unpacked=$(mktemp -d)
python3 -m zipfile -e "$zip" "$unpacked"
platform/win32/wine_run.sh "$unpacked/korvel-cli.exe" --version
platform/win32/wine_run.sh "$unpacked/korvel-cli.exe" check examples/plan.jwwin
grep -q "Copyright (c) 2026 The Korvel authors" "$unpacked/LICENSE.txt"
python3 - "$unpacked" <<'PY'
import os, sys
names = sorted(os.listdir(sys.argv[1]))
assert names == ["Korvel.exe", "LICENSE.txt", "README.txt", "japanese-fonts.reg", "korvel-cli.exe"], names
fonts = open(os.path.join(sys.argv[1], "japanese-fonts.reg"), "rb").read()
assert fonts.startswith(b"\xff\xfe"), "japanese-fonts.reg is not UTF-16LE with a byte-order mark"
assert '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n' in fonts[2:].decode("utf-16-le"), "the window's font is not replaced"
readme = open(os.path.join(sys.argv[1], "README.txt"), "rb").read()
assert readme.startswith(b"\xef\xbb\xbf"), "README.txt has no byte-order mark"
assert readme.count(b"\n") == readme.count(b"\r\n"), "README.txt has a line not ended by CR LF"
text = readme.decode("utf-8-sig")
assert "使い方" in text and "How to use it" in text, "README.txt is not the user's README"
PY
rm -rf "$unpacked"
echo "$zip holds Korvel.exe, korvel-cli.exe, README.txt, LICENSE.txt and japanese-fonts.reg"
