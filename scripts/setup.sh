#!/usr/bin/env bash
# Installs every Debian package the project needs (as root, or through sudo) and builds into
# ./build. Run from anywhere inside the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libsqlite3-dev qt6-base-dev libgl-dev postgresql-15 libpq-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation python3 python3-pyftpdlib poppler-utils zbar-tools xvfb xdotool
  xclip wl-clipboard
  cups-daemon cups-client cups-core-drivers libcups2-dev libqt6printsupport6
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
cmake --build build
