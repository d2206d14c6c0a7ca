#!/usr/bin/env bash
# The installer under Wine, on a virtual X server: on Windows 7 it refuses
# and installs nothing; silently installed, the programs are in Program Files
# with a Start-menu entry; started from that entry, the program runs in the
# data folder and writes its readme there, not into Program Files nor the
# profile; removed while it runs, nothing is removed; closed and removed, the
# programs and their folder are gone and the user's data folder is as it was.
#   installer_test.sh SETUP.exe
# Exit 77 = skipped (no 64-bit Wine, Xvfb or xdotool here).
set -u
setup=$(realpath "$1")
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64) || { echo "no wine64: skipped"; exit 77; }
for tool in xvfb-run xdotool xwininfo; do command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }; done
if [ -z "${ALMANOUK_ON_XVFB:-}" ]; then
  exec xvfb-run -a -s "-noreset -screen 0 1600x1200x24" env ALMANOUK_ON_XVFB=1 "$0" "$@"
fi
here=$(dirname "$(realpath "$0")")
. "$here/../e2e/xvfb_windows.sh"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot --init >/dev/null 2>&1
wineserver -w
fail() { echo "$1"; exit 1; }
await() {
  for _ in $(seq 300); do
    [ -n "$($1)" ] && return 0
    sleep 0.1
  done
  return 1
}
drive="$WINEPREFIX/drive_c"
profile="$drive/users/$(whoami)"
data="$profile/AppData/Roaming/Almanouk"
installed="$drive/Program Files/Almanouk"
entry="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Almanouk.lnk"
readme=Almanouk145.txt

# The program needs Windows 8 or later (its precise clock).
"$wine" winecfg -v win7; wineserver -w
"$wine" "$setup" /S; status=$?; wineserver -w
[ $status = 0 ] && fail "the installer went on on Windows 7"
[ -d "$installed" ] && fail "the installer put files in place on Windows 7"
# Windows 10 from here on (Wine's own default is older).
"$wine" winecfg -v win10; wineserver -w

"$wine" "$setup" /S; wineserver -w
for name in almanouk.exe almanouk-headless.exe almanouk.ico uninstall.exe; do
  [ -f "$installed/$name" ] || fail "not installed: $name"
done
[ -f "$entry" ] || fail "no Start-menu entry"
# The iCalendar library's zone data beside the program, and its licence.
[ -f "$installed/zoneinfo/zones.tab" ] && [ -f "$installed/zoneinfo/Europe/Amsterdam.ics" ] || fail "no zone data installed"
[ -f "$installed/libical/LICENSE" ] || fail "libical's licence is not installed"
[ "$("$wine" "C:\\Program Files\\Almanouk\\almanouk.exe" --version | tr -d '\r')" = "almanouk $(basename "$setup" | sed 's/almanouk-\(.*\)-setup.exe/\1/')" ] ||
  fail "the installed program does not tell its version"

# Started as the Start menu starts it.
"$wine" start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Almanouk.lnk" || fail "the Start-menu entry does not start"
await boxes || fail "no start-up notice"
[ -f "$data/$readme" ] || fail "no readme in the data folder"
[ -e "$installed/$readme" ] && fail "the readme was written into Program Files"
[ -e "$profile/$readme" ] && fail "the readme was written into the profile folder"
press "$(boxes | head -n 1)" Return
await mains || fail "no main window"
main=$(mains | head -n 1)

# Removed while it runs: it asks for the program to be closed first; silently, it stops.
# (In place, not from a copy of itself: it is done when it returns.)
"$wine" "C:\\Program Files\\Almanouk\\uninstall.exe" /S "_?=C:\\Program Files\\Almanouk"
for name in almanouk.exe almanouk-headless.exe almanouk.ico; do
  [ -f "$installed/$name" ] || fail "removed while the program ran: $name"
done
[ -f "$entry" ] || fail "the Start-menu entry was removed while the program ran"

xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key alt+x
gone() { [ -z "$(mains)" ] && echo gone; }
await gone || fail "Alt+X did not end the program"
wineserver -w
before=$(cd "$data" && find . -type f -exec md5sum {} + | sort)

"$wine" "C:\\Program Files\\Almanouk\\uninstall.exe" /S; wineserver -w
# The uninstaller runs on from a copy of itself in the temporary folder.
for _ in $(seq 50); do [ -d "$installed" ] || break; sleep 0.2; done
[ -d "$installed" ] && fail "the programs' folder stayed after removal: $(ls "$installed")"
[ -f "$entry" ] && fail "the Start-menu entry stayed"
[ "$(cd "$data" && find . -type f -exec md5sum {} + | sort)" = "$before" ] || fail "the user's data folder changed"
echo "refused on Windows 7; installed, started from the menu in the data folder, kept while running, removed"
