#!/usr/bin/env bash
# The session ending (wineboot --end-session --shutdown: every window is told
# WM_QUERYENDSESSION and WM_ENDSESSION, and Wine ends the process as soon as
# they are answered) while the calendar editor holds a typed line: the line
# is saved as Esc saves it, and the program has ended in order by then: no
# temporary list, no instance marker left.
#   wine_end_session_test.sh ALMANOUK.EXE
# Exit 77 = skipped (no Wine, Xvfb or xdotool here).
set -u
exe=$(realpath "$1")
wine=$(command -v /usr/lib/wine/wine64 || command -v wine)
for tool in "$wine" xvfb-run xdotool xwininfo; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
data="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Almanouk"

xvfb-run -a -s "-noreset -screen 0 1600x1200x24" bash -c '
  work=$1 exe=$2 wine=$4 data=$5
  . "$3/../e2e/xvfb_windows.sh"
  . "$3/wine_start.sh"
  start_in_wine
  sleep 1
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key F2
  sleep 1
  xdotool key Home 0 7 space S i g n a a l
  sleep 1
  grep -q "07 Signaal" "$data/ALMANOUK.AMN" && fail "the line was saved before the session ended"
  "$wine" wineboot --end-session --shutdown >/dev/null 2>&1
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the program outlived the session"
  exit 0
' _ "$work" "$exe" "$here" "$wine" "$data" || exit 1

status=0
grep -q "07 Signaal" "$data/ALMANOUK.AMN" || { echo "the editor's line was lost"; status=1; }
left=$(cd "$data" && ls AlmanTmp.* Almanouk.pyl 2>/dev/null)
[ -z "$left" ] || { echo "left behind: $left"; status=1; }
[ $status = 0 ] && echo "the session ended; the line saved, nothing left behind"
exit $status
