#!/usr/bin/env bash
# The batch demonstration: what the program does without a window.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=./build/bin/korvane3d-cli
echo "== korvane3d-cli info"
"$cli" info
