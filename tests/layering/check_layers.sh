#!/usr/bin/env bash
# Checks that includes only point down the layers: every project header a
# source folder includes must come from the folder itself or from a folder
# it may depend on. Prints each offending include and exits 1 if any.
set -euo pipefail
src=${1:?usage: check_layers.sh SRC_DIR}

core="common json store eq catalogue ports link presets editmodel venue desk settingsdoc"
declare -A allowed=(
  [common]=""
  [json]=""
  [store]="common"
  [eq]="common store"
  [catalogue]="common store eq"
  [ports]=""
  [link]="common store eq ports"
  [emulator]="common store eq ports link"
  [presets]="common store eq"
  [editmodel]="common store eq catalogue ports link"
  [settingsdoc]="common json store eq catalogue ports link presets editmodel"
  [desk]="common json"
  [venue]="common ports"
  [session]="$core"
  [posix]=""
  [i18n]="common"
  [panels]="$core i18n"
  [editing]="$core i18n panels"
  [graph]="$core i18n panels editing"
  [system]="$core i18n panels editing"
  [logview]="$core i18n"
  [report]="$core i18n panels graph"
  [cli]="$core i18n session"
  [server]="$core i18n session"
  [mainwindow]="$core panels editing graph system logview report i18n"
  [app]="*"
)

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "$folder: not in the layer table of $0; add it with the folders it may include"
    status=1
    continue
  fi
  [[ ${allowed[$folder]} == "*" ]] && continue
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$line")
    [[ $target == "$folder" ]] && continue
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "${file#"$src"/}: includes $target/, which $folder/ may not depend on"
      status=1
    fi
  done < <(grep -rHE '^#include "[a-z_]+/' "$dir" || true)
done
[[ $status -eq 0 ]] && echo "layering: every include points down"
exit $status
