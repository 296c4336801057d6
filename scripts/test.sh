#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build (ASan + UBSan), the Windows build
# under Wine, and a short libFuzzer run of the whole pipeline and of the readers alone from a seed corpus of
# valid streams and the inputs that found faults before (fuzz/regressions).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
fuzz_seconds=${KORVEL_FUZZ_SECONDS:-60}

echo "== build and test"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_TESTS=ON -DKORVEL_BENCH=ON
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

echo "== sanitizers (ASan + UBSan)"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_SANITIZE=ON -DKORVEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"

bash scripts/test-windows.sh

echo "== fuzz for ${fuzz_seconds}s: two thirds the whole pipeline, a third the readers alone"
CC=clang-14 CXX=clang++-14 bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVEL_FUZZ=ON -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
corpus=build-fuzz/corpus
rm -rf "$corpus" && mkdir -p "$corpus/seed" "$corpus/found"
build/tests/make_example --corpus "$corpus/seed"
build/tests/make_example --hostile "$corpus/seed"
whole=$((fuzz_seconds * 2 / 3))
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 build-fuzz/fuzz/fuzz_reader -max_total_time="$whole" -timeout=10 -rss_limit_mb=2048 \
  -dict=fuzz/jwwin.dict -print_final_stats=1 "$corpus/found" "$corpus/seed" fuzz/regressions
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 build-fuzz/fuzz/fuzz_read -max_total_time="$((fuzz_seconds - whole))" -timeout=10 \
  -rss_limit_mb=2048 -dict=fuzz/jwwin.dict -print_final_stats=1 "$corpus/found" "$corpus/seed" fuzz/regressions
echo "== all tests passed"
