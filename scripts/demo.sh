#!/usr/bin/env bash
# Runs the application against the processor emulator, for a machine without
# the hardware: installs what is missing, builds, starts dsp-emulator on a
# pseudo-terminal and opens dsp-control connected to it. The emulator stops
# when the application exits. Extra arguments go to the emulator (see
# `build/dsp-emulator --help`, e.g. --random-image or --chunk 3).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "demo: no display found (DISPLAY / WAYLAND_DISPLAY unset); run it in a desktop session" >&2
  echo "      or as: xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target dsp-control dsp-emulator

workdir=$(mktemp -d)
link="$workdir/processor"
build/dsp-emulator --link "$link" "$@" >"$workdir/emulator.out" &
emulator=$!
cleanup() {
  kill "$emulator" 2>/dev/null || true
  wait "$emulator" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

for _ in $(seq 100); do
  [ -e "$link" ] && break
  if ! kill -0 "$emulator" 2>/dev/null; then
    echo "demo: the emulator did not start" >&2
    exit 1
  fi
  sleep 0.05
done
echo "demo: emulator on $(head -n1 "$workdir/emulator.out"), linked as $link"

build/dsp-control --port "$link"
