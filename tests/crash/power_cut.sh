#!/usr/bin/env bash
# A power cut right after tessarine-cards says its cards are saved: a batch into an ext4
# image on a loop device, the image copied the moment the program exits 0 (what the disk
# holds then, as a machine that lost power would have it), the copy mounted (its journal
# replays as after the cut) and read. Every card the program reported must be there
# whole, byte for byte as it was written, and every other name in the folder absent or
# whole: no empty or short card, no temporary.
#
#   tests/crash/power_cut.sh PATH/TO/tessarine-cards [COUNT]
# Exit 0 when it holds, 1 when not; 0 with a printed reason where loop mounts are refused.
set -uo pipefail
program=$(realpath "$1")
count=${2:-40}
card_bytes=521578

work=$(mktemp -d /tmp/tessarine-power-cut-XXXXXX)
live="$work/live" copy="$work/copy"
cleanup() {
  mountpoint -q "$live" && umount "$live"
  mountpoint -q "$copy" && umount "$copy"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$live" "$copy"

skip() { echo "SKIP: $*"; exit 0; }
command -v mkfs.ext4 >/dev/null || skip "no mkfs.ext4 here"
truncate -s 96M "$work/disk.img"
mkfs.ext4 -q -F "$work/disk.img" || skip "mkfs.ext4 refused"
mount -o loop "$work/disk.img" "$live" 2>/dev/null || skip "loop mounts are refused here"
mkdir "$live/muchas"
sync  # the empty folder is on the disk: what follows is the program's alone

"$program" --count "$count" --out "$live/muchas" --time 12:00:00.000 >"$work/said" 2>&1
status=$?
cp --sparse=always "$work/disk.img" "$work/after.img"  # at once: the disk at the cut
if [ "$status" -ne 0 ]; then
  echo "FAIL: tessarine-cards exited $status: $(cat "$work/said")"
  exit 1
fi

mount -o loop "$work/after.img" "$copy" || { echo "FAIL: the copy does not mount"; exit 1; }
failures=0 whole=0 others=0
for i in $(seq 1 "$count"); do
  name=$(printf '%04d.bmp' "$i")
  if [ ! -f "$copy/muchas/$name" ]; then
    echo "FAIL: $name was reported saved and is missing after the cut"
    failures=$((failures + 1))
  elif ! cmp -s "$copy/muchas/$name" "$live/muchas/$name"; then
    echo "FAIL: $name is not whole after the cut ($(stat -c %s "$copy/muchas/$name") bytes)"
    failures=$((failures + 1))
  else
    whole=$((whole + 1))
  fi
done
# Any other name must be a card whole as the program wrote it.
while IFS= read -r -d '' path; do
  name=${path##*/}
  case "$name" in
    [0-9][0-9][0-9][0-9].bmp) [ "${name%.bmp}" -le "$count" ] 2>/dev/null && continue ;;
  esac
  others=$((others + 1))
  if [ -f "$path" ] && [ "$(stat -c %s "$path")" -eq "$card_bytes" ] &&
     cmp -s "$path" "$live/muchas/$name" 2>/dev/null; then continue; fi
  echo "FAIL: $name is in the folder after the cut and is not a whole file"
  failures=$((failures + 1))
done < <(find "$copy/muchas" -mindepth 1 -print0)

echo "power cut after a batch of $count: $whole of $count reported cards whole, $others other names, $failures faults"
[ "$failures" -eq 0 ]
