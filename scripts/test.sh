#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
#  1. the full build (core, Qt port adapter, UI, application, emulator,
#     benchmarks) and all its tests;
#  2. the core again with address and undefined-behaviour sanitizers;
#  3. the libFuzzer targets (clang), each run for a bounded number of inputs.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== full build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== sanitizer build of the core"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDSP_CORE_ONLY=ON -DDSP_SANITIZE=ON \
  -DDSP_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

echo "== fuzz targets"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDSP_CORE_ONLY=ON \
  -DDSP_FUZZ=ON -DDSP_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"

status=0
echo "== tests: sanitizer build"
(cd build-asan && ctest --output-on-failure -j"$jobs") || status=1
echo "== tests: fuzz runs"
(cd build-fuzz && ctest --output-on-failure -L fuzz) || status=1
echo "== tests: full build"
(cd build && ctest --output-on-failure -j"$jobs") || status=1
exit $status
