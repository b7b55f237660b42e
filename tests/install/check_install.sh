#!/usr/bin/env bash
# Installs the build into a temporary staging folder (DESTDIR) and checks
# that the program, the emulator, the desktop entry, the icon, the manual
# pages, the bash completion and the AppStream metadata land where a desktop
# and its tools expect them, and that the desktop entry is valid.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
prefix=/usr/local
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$stage$prefix"
fail=0
for f in bin/dsp-control bin/dsp-emulator; do
  if [ ! -x "$root/$f" ]; then echo "missing or not executable: $prefix/$f"; fail=1; fi
done
desktop="$root/share/applications/dsp-control.desktop"
icon="$root/share/icons/hicolor/scalable/apps/dsp-control.svg"
share="$root/share"
for f in "$desktop" "$icon" "$share/man/man1/dsp-control.1.gz" "$share/man/man1/dsp-emulator.1.gz" \
         "$share/bash-completion/completions/dsp-control" "$share/bash-completion/completions/dsp-emulator" \
         "$share/metainfo/org.example.dsp_control.metainfo.xml" "$share/doc/dsp-control/copyright"; do
  if [ ! -s "$f" ]; then echo "missing: ${f#"$stage"}"; fail=1; fi
done
if [ "$fail" -eq 0 ]; then
  # The entry starts the installed program and names the installed icon.
  grep -qx 'Exec=dsp-control' "$desktop" || { echo "Exec does not start dsp-control"; fail=1; }
  grep -qx 'Icon=dsp-control' "$desktop" || { echo "Icon is not dsp-control"; fail=1; }
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail=1
  else
    # scripts/deps.sh installs it: without it the entry would go unchecked.
    echo "desktop-file-validate not found (Debian package desktop-file-utils)"
    fail=1
  fi
  # The installed program runs from its new place.
  "$root/bin/dsp-control" --version | grep -q '^dsp-control ' || { echo "installed dsp-control does not run"; fail=1; }
fi
if [ "$fail" -ne 0 ]; then echo "install check failed"; exit 1; fi
echo "install check passed: $(cd "$stage" && find . -type f | sort | tr '\n' ' ')"
