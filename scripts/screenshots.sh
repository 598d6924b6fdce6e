#!/usr/bin/env bash
# Regenerates the README's pictures of the real window (docs/window-*.png): builds the program and
# the window test into ./build (or $BUILD_DIR), runs the test on its private Xvfb display and lets
# it write its pictures straight into docs/. Needs the Debian packages xvfb and xdotool
# (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target window_tests trv00381 kvor
KVOR_SCREENSHOTS="$PWD/docs" QT_QPA_PLATFORM=offscreen "$build/tests/ui/window_tests"
ls -l docs/window-*.png
