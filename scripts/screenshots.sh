#!/usr/bin/env bash
# Renders the eight pages of the main window and the status dialog to PNG
# files under screenshots/ (or the folder given as the first argument),
# building the UI tests first if needed. Runs under a virtual X display.
# DSP_SCREENSHOT_LANG=en renders the English window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/screenshots}"
build="${DSP_BUILD_DIR:-$root/build-ui}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
ninja -C "$build" -j2 ui_tests >/dev/null
export DSP_SCREENSHOT_DIR="$out"
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x800x24" "$build/ui_tests" --gtest_filter='Screenshots.*'
ls -1 "$out"/*.png
