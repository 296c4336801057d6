#!/usr/bin/env bash
# Builds Korvel and opens its window on the user's display with the bundled example drawing; without a
# display, converts and previews the example with korvel-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF

example=examples/plan.jwwin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening the Korvel window with $example (copy a drawing in Jw_cad and press the import button"
  echo "to take it from the clipboard instead)."
  exec build/korvel "$example"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open, so here is the"
echo "command-line example instead."
mkdir -p out
cli=build/korvel-cli
"$cli" info "$example"
"$cli" dump "$example" > out/plan.json
"$cli" convert --colors --layers --hatching --solids "$example" -o out/plan.vnt
"$cli" preview "$example" -o out/plan.png --trace out/plan.trace
echo
echo "Script (Shift-JIS, CR LF; shown here as UTF-8):"
iconv -f CP932 -t UTF-8 out/plan.vnt | tr -d '\r'
echo
echo "Outputs: out/plan.vnt (the script, as Vantra reads it), out/plan.json (the drawing as read),"
echo "out/plan.png (the window's 177x129 preview) and out/plan.trace (its drawing operations)."
echo "The command-line tool is $cli; try: $cli --help"
