#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz/ and runs each for a
# bounded time (seconds, default 150) starting from the committed seeds in
# fuzz/corpus. New inputs go to build-fuzz/corpus, crashes to build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-150}"
readers=(raw stl mesh dxf hpgl gcode output ini tools)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKORVANE_FUZZ=ON -DKORVANE_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${readers[@]/#/fuzz_}"
mkdir -p build-fuzz/crashes
status=0
for reader in "${readers[@]}"; do
  mkdir -p "build-fuzz/corpus/$reader"
  echo "== fuzz_$reader for ${seconds}s"
  build-fuzz/bin/fuzz_$reader -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -max_len=8192 -artifact_prefix="build-fuzz/crashes/$reader-" -print_final_stats=1 \
    "build-fuzz/corpus/$reader" "fuzz/corpus/$reader" || status=1
done
exit $status
