#!/usr/bin/env bash
# Puts the Windows release's files into STAGE from the build folder BUILD: both programs stripped, the
# user's README and the licence as Notepad reads them, and the Wine font settings as regedit reads them.
# usage: stage-windows.sh BUILD STAGE
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 stage=$2
rm -rf "$stage" && mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/Korvel.exe" "$build/Korvel.exe"
x86_64-w64-mingw32-strip -o "$stage/korvel-cli.exe" "$build/korvel-cli.exe"
# Notepad on older Windows needs the byte-order mark to read UTF-8, and CR LF to break lines.
{ printf '\357\273\277'; sed 's/$/\r/' platform/win32/README.txt; } > "$stage/README.txt"
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
# regedit reads its own format: UTF-16LE with a byte-order mark, CR LF.
{ printf '\377\376'; sed 's/\r$//; s/$/\r/' platform/win32/fonts.reg.txt | iconv -f UTF-8 -t UTF-16LE; } > "$stage/japanese-fonts.reg"
