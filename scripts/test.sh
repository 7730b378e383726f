#!/bin/sh
# Builds everything and runs every test: a normal build, then the tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
cd "$(dirname "$0")/.."
JOBS=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")
if [ "${QV_SKIP_SANITIZE:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON -DQV_BUILD_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$JOBS"
  # The end-to-end runs and the 100,000-key depth test are left to the
  # normal build: under the sanitizers they only take longer.
  (cd build-asan && ctest --output-on-failure -j "$JOBS" -E '^E2e|CdxLongKeys.HundredThousand')
fi
