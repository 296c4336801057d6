#!/usr/bin/env bash
# Builds Korvel and opens its window on the user's display with the bundled example drawing; without a
# display, converts and previews the example with korvel-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF

# Says the first text to a Japanese locale (as korvel-cli decides), the second to anyone else.
say() {
  case "${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}" in
    ja*) echo "$1" ;;
    *) echo "$2" ;;
  esac
}

example=examples/plan.jwwin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  say "サンプル $example を Korvel のウィンドウで開きます（Jw_cad でコピーした図形は、取り込みボタンで
クリップボードから取り込めます）。" "Opening the Korvel window with $example (copy a drawing in Jw_cad and press the import button
to take it from the clipboard instead)."
  exec build/korvel "$example"
fi

say "画面がない（DISPLAY も WAYLAND_DISPLAY も設定されていない）ため、ウィンドウは開けません。代わりに
コマンドラインでの例を示します。" "No display (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open, so here is the
command-line example instead."
mkdir -p out
cli=build/korvel-cli
"$cli" info "$example"
"$cli" dump "$example" > out/plan.json
"$cli" convert --colors --layers --hatching --solids "$example" -o out/plan.vnt
"$cli" preview "$example" -o out/plan.png --trace out/plan.trace
echo
say "スクリプト（Shift-JIS、CR LF。ここでは UTF-8 で表示）:" "Script (Shift-JIS, CR LF; shown here as UTF-8):"
iconv -f CP932 -t UTF-8 out/plan.vnt | tr -d '\r'
echo
say "出力: out/plan.vnt（Vantra が読むスクリプト）、out/plan.json（読み取った図面）、
out/plan.png（ウィンドウの 177x129 のプレビュー）、out/plan.trace（その描画操作）。
コマンドラインのツールは $cli です。$cli --help もどうぞ。" "Outputs: out/plan.vnt (the script, as Vantra reads it), out/plan.json (the drawing as read),
out/plan.png (the window's 177x129 preview) and out/plan.trace (its drawing operations).
The command-line tool is $cli; try: $cli --help"
