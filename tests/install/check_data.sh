#!/usr/bin/env bash
# Checks the files that describe the program to the system: the manual pages
# format without a warning, the AppStream metadata is valid, and the help,
# the manual page and the bash completion know the same commands and
# options (a command added to the program must be added to all three).
# Usage: check_data.sh SOURCE_DIR DSP_CONTROL MAN_DIR
set -euo pipefail
src="$1"
program="$2"
mandir="$3"
fail=0
need() {
  command -v "$1" >/dev/null || { echo "$1 not found (Debian package $2, see scripts/deps.sh)"; exit 1; }
}
need man man-db
need appstreamcli appstream
need bash bash

for page in "$mandir"/dsp-control.1.gz "$mandir"/dsp-emulator.1.gz; do
  if [ ! -s "$page" ]; then echo "missing manual page: $page"; fail=1; continue; fi
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -l -Tutf8 "$page" 2>&1 >/dev/null || echo "man failed")
  if [ -n "$warnings" ]; then echo "$(basename "$page"):"; echo "$warnings"; fail=1; fi
done

for file in "$src"/data/*.metainfo.xml; do
  appstreamcli validate --no-net "$file" || fail=1
done

# The commands each place knows, one a line, sorted.
help=$(QT_QPA_PLATFORM=offscreen "$program" --lang en --help)
help_commands=$(printf '%s\n' "$help" | sed -n '/^Commands/,/^$/p' | sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\{0,1\}$/\1/p' | sort)
help_options=$(printf '%s\n' "$help" | sed -n '/^Options:/,/^$/p' | grep -o -- '--[a-z][a-z-]*' | sort -u)
man_source="$src/docs/man/dsp-control.1.scd"
man_commands=$(sed -n '/^# COMMANDS/,/^# /p' "$man_source" | sed -n 's/^\*\([a-z][a-z-]*\)\*.*/\1/p' | sort)
man_options=$(sed -n '/^# OPTIONS/,/^# /p' "$man_source" | grep -o -- '^\*-[a-z]\*, \*--[a-z-]*\*\|^\*--[a-z-]*\*' |
              grep -o -- '--[a-z-]*' | sort -u)
completion="$src/data/bash-completion/dsp-control"
complete_commands=$(bash -c 'source "$1"; while read -r n _; do if [ -n "$n" ]; then echo "$n"; fi; done <<<"$_dsp_control_commands"' \
                    _ "$completion" | sort)
complete_options=$(grep -o "compgen -W '--help[^']*'" "$completion" | grep -o -- '--[a-z][a-z-]*' | sort -u)

compare() {  # WHAT NAME_A LIST_A NAME_B LIST_B
  if [ "$3" != "$5" ]; then
    echo "$1 differ: $2 has [$(echo $3)], $4 has [$(echo $5)]"
    fail=1
  fi
}
[ -n "$help_commands" ] || { echo "no commands found in the help"; fail=1; }
compare "commands" "the help" "$help_commands" "the manual page" "$man_commands"
compare "commands" "the help" "$help_commands" "the completion" "$complete_commands"
compare "options" "the help" "$help_options" "the manual page" "$man_options"
compare "options" "the help" "$help_options" "the completion" "$complete_options"

if [ "$fail" -ne 0 ]; then echo "data check failed"; exit 1; fi
echo "data check passed: commands $(echo $help_commands), options $(echo $help_options)"
