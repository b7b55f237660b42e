#!/usr/bin/env bash
# Runs the example playbook (docs/ansible/venue.yml) on this machine with
# ansible-playbook -i localhost, -c local against two emulated rooms: the
# first run finds room b drifted (the check task "changed") and backs up
# both rooms; after b is restored the second run finds nothing changed but
# the backup.
set -euo pipefail
control=$(realpath "${1:?usage: run_playbook.sh DSP_CONTROL DSP_EMULATOR PLAYBOOK}")
emulator=$(realpath "${2:?}")
playbook=$(realpath "${3:?}")
export QT_QPA_PLATFORM=offscreen ANSIBLE_NOCOLOR=1 ANSIBLE_LOCALHOST_WARNING=0 ANSIBLE_INVENTORY_UNPARSED_WARNING=0

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$emulator" --link "$work/room-a" --random-image --seed 51 >/dev/null &
pids+=($!)
"$emulator" --link "$work/room-b" --random-image --seed 52 >/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -e $work/room-a && -e $work/room-b ]] && break; sleep 0.05; done
printf 'a %s\nb %s\n' "$work/room-a" "$work/room-b" >"$work/venue.rooms"
# The tuned setting is room a's.
"$control" rooms "$work/venue.rooms" backup "$work/tuned" --only a >/dev/null 2>&1

run() {
  ANSIBLE_LOCAL_TEMP="$work/ansible-tmp" ansible-playbook -i localhost, -c local "$playbook" \
    -e "dsp_control=$control" -e "rooms_file=$work/venue.rooms" -e "tuned_preset=$work/tuned/a.Wfxr" \
    -e "backup_dir=$work/backups" 2>&1
}

fail() {
  echo "FAILED: $1"
  echo "$out"
  exit 1
}

out=$(run) || fail "the first run failed"
grep -A1 'TASK \[Check every room' <<<"$out" | grep -q '^changed: \[localhost\]' || fail "the drift was not reported as changed"
grep -q 'b (.*room-b): [0-9]* parameter(s) differ' <<<"$out" || fail "room b's drift is not named"
grep -q 'localhost *: ok=[0-9]* *changed=2 .*failed=0' <<<"$out" || fail "the recap is not changed=2 failed=0"
ls "$work"/backups/*/a.Wfxr "$work"/backups/*/b.Wfxr >/dev/null || fail "the backups are missing"

"$control" rooms "$work/venue.rooms" restore "$work/tuned/a.Wfxr" --only b >/dev/null 2>&1 || fail "the restore of b failed"
out=$(run) || fail "the second run failed"
grep -A1 'TASK \[Check every room' <<<"$out" | grep -q '^ok: \[localhost\]' || fail "no drift should be ok"
grep -q 'localhost *: ok=[0-9]* *changed=1 .*failed=0' <<<"$out" || fail "the recap is not changed=1 failed=0"
echo "ansible example: drift reported as changed, backups written"
