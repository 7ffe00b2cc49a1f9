#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvane3D. Without a display the
# batch program runs its demonstration instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # Without arguments the window opens the sample project.
  [ $# -gt 0 ] || set -- ./build/bin/Samples/Sample.prj
  exec ./build/bin/korvane3d "$@"
fi
echo "No display found: running the batch demonstration (korvane3d-cli) instead of the window."
exec ./scripts/demo.sh
