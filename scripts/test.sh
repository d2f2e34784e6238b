#!/usr/bin/env bash
# Builds everything and passes every test: the normal build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of
# every fuzz target. Any failure or sanitizer report fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== layers =="
python3 scripts/check-layers.py

echo "== build (release) =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
echo "== tests (release) =="
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

echo "== build (address and undefined-behaviour sanitizers) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVRT_SANITIZE=ON -DVRT_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
echo "== tests (sanitizers) =="
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

if ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then
  echo "== fuzz (short runs) =="
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DVRT_FUZZ=ON -DVRT_TESTS=OFF -DVRT_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs"
  for src in fuzz/*_fuzz.cpp; do
    name=$(basename "$src" .cpp)
    corpus=$(mktemp -d)
    [[ -d fuzz/corpus/$name ]] && cp -r "fuzz/corpus/$name/." "$corpus/"
    echo "-- $name"
    # A fixed seed makes a fault found here one that the next run finds again;
    # longer runs with fresh seeds (FUZZ_SEED=0) are how new ones are found.
    build-fuzz/fuzz/"$name" -max_total_time="${FUZZ_SECONDS:-15}" -seed="${FUZZ_SEED:-1}" -rss_limit_mb=2048 \
      -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
    rm -rf "$corpus"
  done
fi
echo "== all tests passed =="
