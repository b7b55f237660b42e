#!/usr/bin/env bash
# Builds the Debian package dsp-control_VERSION_ARCH.deb with CPack from the
# project's own build and puts it into DIR (default: the current folder):
#   scripts/package.sh [DIR]
#   sudo apt install ./dsp-control_*.deb
# The package is built in its own folder, build-package/ (BUILD_DIR=...
# chooses another), as a Release build with Debian's hardening flags
# (dpkg-buildflags); only what the package holds is compiled. The version is
# the CMake project version.
set -euo pipefail
out="$(cd "${1:-.}" && pwd)"
cd "$(dirname "$0")/.."

scripts/deps.sh

build="${BUILD_DIR:-build-package}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  # CMake reads the flags from the environment when a build is first
  # configured; it has no CPPFLAGS, so those go with the compiler's.
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  CXXFLAGS="$CPPFLAGS $CXXFLAGS" LDFLAGS="$LDFLAGS" \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDSP_BENCH=OFF >/dev/null
else
  cmake "$build" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target dsp-control dsp-emulator manpages package_docs

rm -rf "$build/cpack"
cpack --config "$build/CPackConfig.cmake" -B "$build/cpack"
for deb in "$build"/cpack/dsp-control_*.deb; do
  cp "$deb" "$out/"
  echo "$out/$(basename "$deb")"
done
