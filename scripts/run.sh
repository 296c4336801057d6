#!/usr/bin/env bash
# Builds korvel-cli, converts the bundled example drawing into a Vantra script and previews it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

mkdir -p out
cli=build/korvel-cli
example=examples/plan.jwwin
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
