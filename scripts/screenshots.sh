#!/usr/bin/env bash
# Regenerates the README's pictures of the real window (docs/window-*.png) and of a page from a
# print queue (docs/queue-241004-page1.png): builds the program and the two tests into ./build (or
# $BUILD_DIR) and lets them write their pictures straight into docs/. Needs the Debian packages
# scripts/setup.sh installs (xvfb, xdotool, cups-daemon, poppler-utils).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target window_tests e2e_tests trv00381 kvor
KVOR_SCREENSHOTS="$PWD/docs" QT_QPA_PLATFORM=offscreen "$build/tests/ui/window_tests"
KVOR_SCREENSHOTS="$PWD/docs" "$build/tests/e2e/e2e_tests" \
  --gtest_filter=Printers.AnInvoiceGoesToAPrintQueueAsOneJobLaidOutAsOnKvorPdf
ls -l docs/window-*.png docs/queue-*.png
