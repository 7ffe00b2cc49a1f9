#!/usr/bin/env bash
# Refreshes the manuals' pictures (help/pictures/) from a run of the window
# tests, which save their screenshots when KORVANE_ARTEFACTS names a folder.
#
# Usage: scripts/refresh_manual_pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
test_gui=$build/bin/test_gui
[ -x "$test_gui" ] || { echo "No window tests at $test_gui: build the test_gui target first." >&2; exit 1; }

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# Some window tests may fail; their pictures are still taken.
(cd "$build" && KORVANE_ARTEFACTS=$shots xvfb-run -a -s "-screen 0 1600x1000x24" "$test_gui" \
    >"$shots/run.log" 2>&1) ||
  { grep -E "^\[  FAILED  \]" "$shots/run.log" | sort -u
    echo "Some window tests failed; look at the pictures before committing them."; }

# The pictures the manuals show: the windows taken in every language by the
# manual's own window test, and the build, the simulation and a running job.
pictures=(build-session simulation_view_US control-panel-during-job-US control-panel-during-job-SA)
for window in main-window tool-dialog operation-dialog control-panel tool-length machine-about; do
  for language in US PL RU CN SK IT ES SA FR; do
    pictures+=("manual-$window-$language")
  done
done
missing=0
for p in "${pictures[@]}"; do
  if [ -f "$shots/$p.png" ]; then
    cp "$shots/$p.png" "$root/help/pictures/$p.png"
  else
    echo "The window tests made no $p.png" >&2
    missing=1
  fi
done
exit $missing
