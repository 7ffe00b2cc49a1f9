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
"$cli" "dataDir='$data'" generate --project ./build/bin/Samples/Relief.prj

# The sample project built, and the job of its surfacing run on the simulated
# machine over the network, as a machine on Ethernet runs it.
echo
echo "== korvane3d-cli generate --project build/bin/Samples/Sample.prj"
"$cli" "dataDir='$data'" generate --project ./build/bin/Samples/Sample.prj
echo
echo "== korvane3d-sim (the simulated machine on free ports)"
ports="$data/sim-ports.txt"
./build/bin/korvane3d-sim --port 0 --info-port 0 --time-scale 50 >"$ports" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$ports" ] && break
  sleep 0.1
done
cat "$ports"
command_port=$(sed -n 's/.*command port \([0-9]*\).*/\1/p' "$ports")
info_port=$(sed -n 's/.*info port \([0-9]*\).*/\1/p' "$ports")
echo
echo "== korvane3d-cli send Surfacing.out --host 127.0.0.1 (the job written for the machine found)"
"$cli" "dataDir='$data'" send "$data/Output/Sample/Surfacing.out" --operation Surfacing \
  --host 127.0.0.1 --port "$command_port" --info-port "$info_port" --safe-height 30
