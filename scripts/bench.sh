#!/usr/bin/env bash
# Builds optimised and runs the benchmarks at full size (about 1,000,000 entities each).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF
python3 bench/cli_ratios.py build-release/korvel-cli build-release/bench/bench_reader build-release/bench/bench_convert
echo
python3 bench/hostile.py build-release/korvel-cli build-release/bench/make_hostile build-release/bench/bench_view
echo
python3 bench/batch.py build-release/korvel-cli build-release/bench/bench_reader
echo
python3 bench/export_ratios.py build-release/korvel-cli build-release/bench/bench_reader
echo
python3 bench/window.py build-release/korvel-cli build-release/bench/bench_reader build-release/bench/bench_window
echo
build-release/bench/bench_reader "$@"
echo
build-release/bench/bench_convert "$@"
echo
build-release/bench/bench_preview "$@"
echo
build-release/bench/bench_view "$@"
