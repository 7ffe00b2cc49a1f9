#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window tests under
# Xvfb), the unit tests once more shuffled, then the core's tests again in a
# build with the address and undefined-behaviour sanitizers. Exits non-zero on
# any failure; prints the time each step took.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

step_start=$SECONDS
step() {
  echo "== $1: $((SECONDS - step_start)) s" >&2
  step_start=$SECONDS
}

./scripts/deps.sh
step "dependencies"

cmake -S . -B build -G Ninja >/dev/null
cmake --build build
step "build"
(cd build && ctest --output-on-failure --no-tests=error -j "$jobs" "$@")
step "tests"

# The unit tests once more in random order, so that a test leaning on state
# left by another shows (gtest prints the seed to repeat an order).
for program in build/bin/test_*_unit; do
  (cd build && "../$program" --gtest_shuffle --gtest_brief=1)
done
step "unit tests shuffled"

cmake -S . -B build-asan -G Ninja -DKORVANE_SANITIZE=ON -DKORVANE_GUI=OFF -DKORVANE_BENCH=OFF >/dev/null
cmake --build build-asan
step "sanitized build"
# The soak test runs once, above (the sanitized tree does not build it).
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/../scripts/lsan.supp" \
   UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
   ctest --output-on-failure --no-tests=error -j "$jobs" "$@")
step "sanitized tests"
echo "== all: $SECONDS s" >&2
