#!/usr/bin/env bash
# A real full disk, a small tmpfs filled to the last block: the list editor
# and the settings screen say what was not saved, F3 says there is no backup
# to restore, a copy leaves nothing behind, every file stays as it was; with
# room again the same keys work.
#   full_disk_test.sh DRIVER
# Exit 77 = skipped (no tmpfs can be mounted here).
set -u
driver=$1
work=$(mktemp -d)
disk="$work/appdata"
data="$disk/Almanouk"
mkdir -p "$disk" "$work/start"
trap 'umount "$disk" 2>/dev/null; rm -rf "$work"' EXIT
mount -t tmpfs -o size=512k tmpfs "$disk" 2>/dev/null || { echo "no small tmpfs can be mounted here: skipped"; exit 77; }

fail() { echo "$1"; cat "$work/screen.txt"; exit 1; }
run() {
  "$driver" --data "$disk" --start-dir "$work/start" --now "2012-03-07 09:00:00" --keys "$1" \
    --screen "$work/screen.txt" >/dev/null 2>&1
}
says() { grep -qF "$1" "$work/screen.txt" || fail "not said: $1"; }
fill() { dd if=/dev/zero of="$disk/vol" bs=4k >/dev/null 2>&1; sync; }
kept() { cmp -s "$work/before" "$data/$1" || fail "$1 changed"; }

run ""
run ""  # as every later start leaves the files
fill
cp "$data/ALMANOUK.AMN" "$work/before"
run 'F2 Home "07 Belangrijk" Esc'
says "Opslaan mislukt (schijf vol): ALMANOUK.AMN is niet gewijzigd"
kept ALMANOUK.AMN
run 'F2 Home "07 Belangrijk" F3'
says "Geen reservekopie (schijf vol): F3 herstelt niets"
kept ALMANOUK.AMN

cp "$data/Almanouk.ini" "$work/before"
run 'F4 Space Esc'
says "Opslaan mislukt (schijf vol): Almanouk.ini is niet gewijzigd"
kept Almanouk.ini
run 'F4 Down Down Down "k"'
says "Kopieren is mislukt"
ls "$data" | grep -q '^0709.*\.AMN$' && fail "a copy cut short stayed"

rm -f "$disk/vol"
run 'F2 Home "07 Belangrijk" Esc F4 Space Esc'
grep -q "07 Belangrijk" "$data/ALMANOUK.AMN" || fail "the editor did not save with room again"
grep -q "PopUp=uit" "$data/Almanouk.ini" || fail "the settings were not saved with room again"
exit 0
