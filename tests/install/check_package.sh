#!/usr/bin/env bash
# Builds the Debian package from an already-built tree, checks it with
# lintian, installs it into this machine with dpkg, uses what it installed
# (the program, its manual page, its bash completion, the emulator) and
# removes it again, checking that nothing of it is left.
#
# It changes the machine only while it runs and puts it back even when a
# step fails: the package is removed on every way out. It skips (status 77)
# when not run as root, and when the package or one of its files is already
# on the machine (it would replace what someone installed). A run cut off
# before it could clean up (killed, power lost) leaves a mark in the build
# folder; the next run removes the package first.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src="$1"
build="$(cd "$2" && pwd)"
package=dsp-control
skip() { echo "SKIPPED: $*"; exit 77; }
die() { echo "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package into the machine needs root (CI runs as root); not root here"
for tool in cpack dpkg dpkg-deb dpkg-query lintian man flock timeout; do
  command -v "$tool" >/dev/null || die "$tool not found (scripts/deps.sh installs what the tests need)"
done
[ -r /usr/share/bash-completion/bash_completion ] || die "bash-completion is not installed (scripts/deps.sh)"

# One run at a time on this machine, whichever build it comes from.
lockdir=/run/lock
[ -d "$lockdir" ] && [ -w "$lockdir" ] || lockdir=/tmp
exec 9>"$lockdir/dsp-control-package-test.lock" || die "cannot open the lock file in $lockdir"

flock -w 300 9 || die "another run of the package test holds the lock"

work="$build/package-test"
mark="$build/package-test.installed"
emulator_pid=

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" = installed ]
}
remove_package() {
  # dpkg may wait for its lock while something else (apt) works.
  local i
  for i in 1 2 3 4 5 6; do
    timeout 120 dpkg --purge "$package" >"$work/dpkg-remove.log" 2>&1 && return 0
    grep -q 'lock' "$work/dpkg-remove.log" || break
    sleep 5
  done
  cat "$work/dpkg-remove.log"
  return 1
}
cleanup() {
  local status=$?
  if [ -n "$emulator_pid" ]; then kill "$emulator_pid" 2>/dev/null; wait "$emulator_pid" 2>/dev/null; fi
  if [ -e "$mark" ]; then
    if installed || dpkg-query -W "$package" >/dev/null 2>&1; then
      echo "removing $package"
      remove_package || { echo "FAILED: could not remove $package again: remove it with dpkg --purge $package"; status=1; }
    fi
    installed || rm -f "$mark"
  fi
  rm -rf "$work"
  exit "$status"
}

mkdir -p "$work"
if [ -e "$mark" ]; then
  echo "an earlier run was cut off with $package installed: removing it first"
  if dpkg-query -W "$package" >/dev/null 2>&1; then remove_package || die "cannot remove the earlier run's $package"; fi
  rm -f "$mark"
fi
installed && skip "$package is already installed on this machine; the test would replace it"
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# ---- the package, from this build
version=$("$build/dsp-control" --version | sed -n 's/^dsp-control //p')
[ -n "$version" ] || die "the built dsp-control does not print its version"
arch=$(dpkg --print-architecture)
timeout 300 cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; die "cpack failed"; }
deb="$work/cpack/${package}_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/cpack"; die "no ${package}_${version}_${arch}.deb"; }
echo "built $(basename "$deb")"

fail=0
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
field() { dpkg-deb -f "$deb" "$1"; }
check "Version is the project version" [ "$(field Version)" = "$version" ]
check "Depends names Debian's Qt 6 packages" grep -q 'libqt6widgets6' <<<"$(field Depends)"
check "Depends names the serial port library" grep -q 'libqt6serialport6' <<<"$(field Depends)"
check "a maintainer" [ -n "$(field Maintainer)" ]
check "section sound" [ "$(field Section)" = sound ]
check "no homepage field" [ -z "$(field Homepage)" ]
check "a description with an extended part" [ "$(field Description | wc -l)" -gt 3 ]

# Every file and link the package holds, as installed paths.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { p = $6; sub(/^\./, "", p); print p }' >"$work/files"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { p = $6; sub(/^\./, "", p); sub(/\/$/, "", p); if (p != "") print p }' >"$work/dirs"
for f in /usr/bin/dsp-control /usr/bin/dsp-emulator /usr/share/man/man1/dsp-control.1.gz \
         /usr/share/man/man1/dsp-emulator.1.gz /usr/share/bash-completion/completions/dsp-control \
         /usr/share/bash-completion/completions/dsp-emulator /usr/share/applications/dsp-control.desktop \
         /usr/share/icons/hicolor/scalable/apps/dsp-control.svg /usr/share/metainfo/org.example.dsp_control.metainfo.xml \
         /usr/share/doc/dsp-control/copyright /usr/share/doc/dsp-control/changelog.gz; do
  check "the package holds $f" grep -qx "$f" "$work/files"
done
while read -r f; do
  if [ -e "$f" ] || [ -L "$f" ]; then skip "$f is already on this machine (not from the package); the test would replace it"; fi
done <"$work/files"
# The folders that do not exist yet must be gone again after the removal.
while read -r d; do [ -e "$d" ] || echo "$d"; done <"$work/dirs" >"$work/new-dirs"

# ---- lintian: no errors; every warning is one the README lists with its reason
timeout 300 lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
cat "$work/lintian.log"
check "lintian reports no error" sh -c "! grep -q '^E: ' '$work/lintian.log'"
for tag in $(sed -n 's/^W: [^:]*: \([a-z0-9-]*\).*/\1/p' "$work/lintian.log" | sort -u); do
  check "lintian warning $tag is listed in the README" grep -q -- "\`$tag\`" "$src/README.md"
done

# ---- installed into the machine
: >"$mark"
installed_ok=0
for i in 1 2 3 4 5 6; do
  # Slim images tell dpkg to leave out manual pages and documentation
  # (path-exclude); this package is installed whole, as on a desktop.
  if timeout 300 dpkg --path-include='*' -i "$deb" >"$work/dpkg-install.log" 2>&1; then installed_ok=1; break; fi
  grep -q 'lock' "$work/dpkg-install.log" || break
  sleep 5
done
[ "$installed_ok" -eq 1 ] || { cat "$work/dpkg-install.log"; die "dpkg -i failed"; }
echo "installed $package $version"

check "dsp-control is on the PATH in /usr/bin" [ "$(command -v dsp-control)" = /usr/bin/dsp-control ]
check "the installed dsp-control prints its version" [ "$(/usr/bin/dsp-control --version)" = "dsp-control $version" ]
check "man -w dsp-control finds the installed page" [ "$(man -w dsp-control)" = /usr/share/man/man1/dsp-control.1.gz ]
check "man -w dsp-emulator finds the installed page" [ "$(man -w dsp-emulator)" = /usr/share/man/man1/dsp-emulator.1.gz ]

# The completion as an interactive bash loads it: bash-completion finds
# completions/dsp-control by itself on the first completion; `--l` then
# offers --lang.
completion=$(HOME="$work" timeout 60 bash --norc -i -c '
  source /usr/share/bash-completion/bash_completion
  __load_completion dsp-control || exit 3
  read -r _ _ function _ < <(complete -p dsp-control)
  COMP_WORDS=(dsp-control --l); COMP_CWORD=1; COMP_LINE="dsp-control --l"; COMP_POINT=${#COMP_LINE}
  "$function" dsp-control --l dsp-control
  compgen -W "${COMPREPLY[*]}" -- --l' 2>/dev/null)
check "bash completes dsp-control --l<TAB> to --lang" [ "$completion" = --lang ]

# The installed emulator on a pseudo-terminal, the installed program's
# command against it.
/usr/bin/dsp-emulator >"$work/emulator.out" 2>"$work/emulator.err" &
emulator_pid=$!
pty=
for i in $(seq 1 100); do
  pty=$(head -n 1 "$work/emulator.out" 2>/dev/null)
  [ -n "$pty" ] && break
  kill -0 "$emulator_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$pty" ]; then
  info=$(timeout 60 /usr/bin/dsp-control --port "$pty" info 2>"$work/info.err")
  status=$?
  [ "$status" -eq 0 ] || cat "$work/info.err"
  check "dsp-control --port PTY info succeeds" [ "$status" -eq 0 ]
  check "info names the port, the device and the modes" \
    sh -c 'printf "%s\n" "$1" | grep -qx "port: $2" && printf "%s\n" "$1" | grep -q "^device: " &&
           [ "$(printf "%s\n" "$1" | sed -n "/^modes:/,\$p" | wc -l)" -eq 16 ]' _ "$info" "$pty"
else
  cat "$work/emulator.err"
  check "the installed dsp-emulator prints its terminal" false
fi
kill "$emulator_pid" 2>/dev/null
wait "$emulator_pid" 2>/dev/null
emulator_pid=

# ---- removed again, and nothing of it left
remove_package || die "dpkg could not remove $package"
rm -f "$mark"
check "dpkg no longer knows $package" sh -c "! dpkg-query -W $package >/dev/null 2>&1"
left=$(while read -r f; do if [ -e "$f" ] || [ -L "$f" ]; then echo "$f"; fi; done < <(cat "$work/files" "$work/new-dirs"))
check "nothing of the package is left${left:+: $(echo $left)}" [ -z "$left" ]
hash -r
check "dsp-control is no longer on the PATH" sh -c '! command -v dsp-control >/dev/null'

[ "$fail" -eq 0 ] || die "package check"
echo "package check passed"
