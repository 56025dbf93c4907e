#!/usr/bin/env bash
# Builds and runs every test: the normal build with CTest, the core tests
# again under address and undefined-behaviour sanitizers, and each fuzz
# target for a short bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen
# A compiler cache where the machine has one (a developer's, not a fresh CI machine).
CACHE=()
if command -v ccache > /dev/null; then
  CACHE=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

echo "== build and test =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${CACHE[@]}"
cmake --build build -j "$JOBS"
# The SANE test backend stops its reader thread by asynchronous cancellation,
# which now and then leaves a malloc lock held and hangs the next scan in the
# same process. Our tests finish in seconds, so a test that hangs is given a
# bounded time and another try instead of stalling the run.
CTEST_ARGS=(--output-on-failure -j "$JOBS" --timeout 120 --repeat after-timeout:3)
ctest --test-dir build "${CTEST_ARGS[@]}"

echo "== Debian package =="
bash scripts/check-package.sh build

echo "== sanitizer build of the core tests =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFALTARILLON_SANITIZE=ON "${CACHE[@]}" \
      -DFALTARILLON_BUILD_UI=OFF -DFALTARILLON_BUILD_BENCH=OFF
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan "${CTEST_ARGS[@]}" --timeout 300

echo "== fuzz targets =="
# A fixed seed: the same inputs on every run of the same tree, so that a
# run passes or fails for the code, not for the dice. Longer runs with other
# seeds (FUZZ_SEED=0 picks one at random) are for looking for new faults.
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
FUZZ_SEED=${FUZZ_SEED:-1}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${CACHE[@]}" \
      -DFALTARILLON_FUZZ=ON -DFALTARILLON_BUILD_UI=OFF -DFALTARILLON_BUILD_BENCH=OFF
cmake --build build-fuzz -j "$JOBS"
for f in build-fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="fuzz/corpus/${name#fuzz_}"
  mkdir -p "build-fuzz/corpus-$name"
  echo "-- $name for ${FUZZ_SECONDS}s"
  ASAN_OPTIONS=detect_leaks=0 "$f" -max_total_time="$FUZZ_SECONDS" -seed="$FUZZ_SEED" -rss_limit_mb=2048 \
    -timeout=10 "build-fuzz/corpus-$name" $( [ -d "$corpus" ] && echo "$corpus" )
done
echo "== all tests passed =="
