#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev
  qt6-base-dev qt6-serialport-dev libgl-dev qt6-tools-dev qt6-l10n-tools python3
  libgtest-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei
  desktop-file-utils
  ser2net
  scdoc man-db bash-completion appstream lintian dpkg-dev file
  qt6-httpserver-dev qt6-websockets-dev
  chromium chromium-driver
  ansible-core
  poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
