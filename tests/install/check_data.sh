#!/usr/bin/env bash
# Checks the files that describe the program to the system: the manual pages
# format without a warning, the AppStream metadata is valid, and the help,
# the manual page and the bash completion know the same commands and
# options (a command added to the program must be added to all three).
# Usage: check_data.sh SOURCE_DIR DSP_CONTROL MAN_DIR
set -euo pipefail
src="$(cd "$1" && pwd)"
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
complete_list() {  # VARIABLE: the first words of the completion's list
  bash -c 'source "$1"; while read -r n _; do if [ -n "$n" ]; then echo "$n"; fi; done <<<"${!2}"' \
    _ "$completion" "$1" | sort
}
complete_commands=$(complete_list _dsp_control_commands)
complete_options=$(complete_list _dsp_control_options)

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

# The completion as bash-completion runs it, on lines split as readline
# splits them (a ':' is a word of its own), against a settings file with
# two remembered network ports.
[ -r /usr/share/bash-completion/bash_completion ] || { echo "bash-completion is not installed (scripts/deps.sh)"; exit 1; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config/dsp-control" "$home/presets"
printf '[network]\nports=tcp://box:4001, rfc2217://[::1]:4002\n' >"$home/.config/dsp-control/dsp-control.ini"
touch "$home/presets/Club.Wfxr" "$home/presets/notes.txt"
results=$(cd "$home" && HOME="$home" XDG_CONFIG_HOME= bash --norc --noprofile -c '
  source /usr/share/bash-completion/bash_completion
  source "$1"
  while IFS="|" read -r line expected; do
    COMP_WORDS=()
    for w in $line; do
      while [[ $w == *:* ]]; do
        [[ ${w%%:*} ]] && COMP_WORDS+=("${w%%:*}")
        COMP_WORDS+=(":"); w=${w#*:}
      done
      [[ $w ]] && COMP_WORDS+=("$w")
    done
    [[ $line == *" " || $line == *: ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=$line; COMP_POINT=${#line}; COMPREPLY=()
    _dsp_control
    got=$(printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "); got=${got% }
    [[ $got == "$expected" ]] || echo "completing [$line]: got [$got], expected [$expected]"
  done' _ "$completion" <<'TABLE'
dsp-control --l|--lang
dsp-control --lang |en zh
dsp-control --lang=e|en
dsp-control |backup diff export import info recall-mode report restore rooms save-mode serve
dsp-control --port tcp://box:4001 re|recall-mode report restore
dsp-control --port t|tcp://box:4001
dsp-control --port tcp://box:40|4001
dsp-control --port rfc|rfc2217://[::1]:4002
dsp-control --port /dev/ttyS0 --json |backup diff export import info recall-mode report restore rooms save-mode serve
dsp-control recall-mode 1|1 10 11 12 13 14 15
dsp-control save-mode 3 |
dsp-control info |
dsp-control restore presets/|presets/Club.Wfxr
dsp-control backup presets/n|presets/notes.txt
dsp-control --presets pre|presets
dsp-control --j|--jobs --json
dsp-control --d|--dry-run
dsp-control --rooms pre|presets
dsp-control rooms pre|presets
dsp-control rooms venue.rooms |backup check info restore
dsp-control rooms venue.rooms re|restore
dsp-control rooms venue.rooms restore presets/|presets/Club.Wfxr
dsp-control rooms venue.rooms check presets/C|presets/Club.Wfxr
dsp-control rooms venue.rooms backup pre|presets
dsp-control rooms venue.rooms info |
dsp-control rooms venue.rooms backup presets |
dsp-control --only room-1 --jobs 4 rooms venue.rooms ch|check
dsp-control --dry-run --json rooms venue.rooms |backup check info restore
dsp-control serve --|--lang --listen --rooms --static --token-file
dsp-control serve --rooms pre|presets
dsp-control serve --token-file presets/n|presets/notes.txt
dsp-control serve --static pre|presets
dsp-control serve --listen |
dsp-control serve --listen 127.0.0.1:8480 |
dsp-control export t|tcp://box:4001
dsp-control export presets/Club.Wfxr presets/n|presets/notes.txt
dsp-control import presets/notes.txt presets/|presets/Club.Wfxr
dsp-control diff presets/Club.Wfxr r|rfc2217://[::1]:4002
dsp-control diff presets/Club.Wfxr tcp://box:40|4001
dsp-control report presets/Club.Wfxr presets/n|presets/notes.txt
TABLE
)
if [ -n "$results" ]; then echo "$results"; fail=1; fi

if [ "$fail" -ne 0 ]; then echo "data check failed"; exit 1; fi
echo "data check passed: commands $(echo $help_commands), options $(echo $help_options)"
