#!/usr/bin/env bash
# The installer under Wine: silently installed, the programs are in Program
# Files with a Start-menu entry; removed, they are gone and the user's data
# folder is as it was.
#   installer_test.sh SETUP.exe
# Exit 77 = skipped (no 64-bit Wine here).
set -u
setup=$(realpath "$1")
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64) || { echo "no wine64: skipped"; exit 77; }
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot --init >/dev/null 2>&1
wineserver -w
fail() { echo "$1"; exit 1; }
drive="$WINEPREFIX/drive_c"
data="$drive/users/$(whoami)/AppData/Roaming/Almanouk"
mkdir -p "$data"
printf 'Werk\r\n' > "$data/ALMANOUK.AMN"

"$wine" "$setup" /S; wineserver -w
for name in almanouk.exe almanouk-headless.exe almanouk.ico uninstall.exe; do
  [ -f "$drive/Program Files/Almanouk/$name" ] || fail "not installed: $name"
done
[ -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Almanouk.lnk" ] || fail "no Start-menu entry"
[ "$("$wine" "C:\\Program Files\\Almanouk\\almanouk.exe" --version | tr -d '\r')" = "almanouk $(basename "$setup" | sed 's/almanouk-\(.*\)-setup.exe/\1/')" ] ||
  fail "the installed program does not tell its version"

"$wine" "C:\\Program Files\\Almanouk\\uninstall.exe" /S; wineserver -w
# The uninstaller runs on from a copy of itself in the temporary folder.
for _ in $(seq 50); do [ -d "$drive/Program Files/Almanouk" ] || break; sleep 0.2; done
[ -d "$drive/Program Files/Almanouk" ] && fail "the programs stayed after removal"
[ -f "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Almanouk.lnk" ] && fail "the Start-menu entry stayed"
[ "$(cat "$data/ALMANOUK.AMN")" = $'Werk\r' ] || fail "the user's data folder changed"
echo "installed, started, removed; the data folder kept"
