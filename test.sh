#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window tests under
# Xvfb), the unit tests once more shuffled, then the core's tests again in a
# build with the address and undefined-behaviour sanitizers. Exits non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja >/dev/null
cmake --build build
(cd build && ctest --output-on-failure --no-tests=error -j "$jobs" "$@")

# The unit tests once more in random order, so that a test leaning on state
# left by another shows (gtest prints the seed to repeat an order).
for program in build/bin/test_*_unit; do
  (cd build && "../$program" --gtest_shuffle --gtest_brief=1)
done

cmake -S . -B build-asan -G Ninja -DKORVANE_SANITIZE=ON -DKORVANE_GUI=OFF >/dev/null
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
   ctest --output-on-failure --no-tests=error -j "$jobs" "$@")
