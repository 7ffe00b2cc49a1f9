#!/usr/bin/env bash
# The one list of Debian packages Korvane3D needs to build, run and test.
# Installs only what is missing; never prompts.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config git python3
  # core libraries
  libpugixml-dev libjpeg62-turbo-dev libstb-dev libusb-1.0-0-dev libasio-dev libevdev-dev
  nlohmann-json3-dev
  # user interface
  qt6-base-dev libqt6opengl6-dev libgl1-mesa-dev libglu1-mesa-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xfonts-base
  # OBJ, PLY, 3MF, OFF and glTF models (and the import benchmark's baseline)
  libassimp-dev
  # the Debian package
  dpkg-dev file
  # the manuals: fonts for Latin and Cyrillic, Chinese and Arabic; Poppler reads them back
  fonts-dejavu-core fonts-wqy-microhei fonts-noto-ui-core poppler-utils
  # formatting and fuzzing
  clang-format clang libclang-rt-14-dev
  # opening documents, desktop notifications
  xdg-utils libnotify-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null; then
  $sudo apt-get update </dev/null
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi
