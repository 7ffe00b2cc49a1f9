#!/usr/bin/env bash
# The batch demonstration: what the program does without a window.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=./build/bin/korvane3d-cli
echo "== korvane3d-cli info"
"$cli" info
# The sample project in a data folder of its own (build/demo-data): a relief
# picture hatched with the default ball-nose cutter, written as an output path file.
data=./build/demo-data
echo
echo "== korvane3d-cli generate --project build/bin/Samples/Relief.prj"
"$cli" "dataDir=$data" generate --project ./build/bin/Samples/Relief.prj
