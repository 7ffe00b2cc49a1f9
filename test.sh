#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the window tests under
# Xvfb). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
cd build
ctest --output-on-failure --no-tests=error -j "$(nproc)" "$@"
