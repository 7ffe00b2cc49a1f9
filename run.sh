#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvane3D. Without a display the
# batch program runs its demonstration instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # Without arguments the window opens the operator's copy of the sample
  # project in the data folder, made once, so that the shipped sample stays as
  # it is when the project is saved.
  if [ $# -eq 0 ]; then
    projects="${XDG_DATA_HOME:-$HOME/.local/share}/Vardimon/Korvane3D/Projects"
    mkdir -p "$projects"
    [ -e "$projects/Sample.prj" ] ||
      cp ./build/bin/Samples/Sample.prj ./build/bin/Samples/Sample.stl "$projects/"
    set -- "$projects/Sample.prj"
  fi
  exec ./build/bin/korvane3d "$@"
fi
echo "No display found: running the batch demonstration (korvane3d-cli) instead of the window."
exec ./scripts/demo.sh
