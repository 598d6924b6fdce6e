#!/usr/bin/env bash
# Runs every test of the project against the build in ./build (made by scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
