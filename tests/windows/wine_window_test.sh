#!/usr/bin/env bash
# The Windows program in its own window, under Wine on a virtual X server:
# it starts, the notice is answered, the month view is drawn as the headless
# program draws it, F11 fills the screen and gives it back, F5 and typing fill a diary page, Esc and Alt+X end it; the
# files in %APPDATA%\Almanouk are then byte for byte what the Linux build
# writes for the same keys, and so is the calendar's iCalendar export (but for
# its DTSTAMP lines, the moment of export).
#   wine_window_test.sh ALMANOUK.EXE LINUX-ALMANOUK-HEADLESS [SCREENSHOT.png]
# Exit 77 = skipped (no Wine, Xvfb, xdotool, xwd or python3 here).
set -u
exe=$(realpath "$1")
headless=$(realpath "$2")
shot=${3:+$(realpath -m "$3")}
wine=$(command -v /usr/lib/wine/wine64 || command -v wine)
for tool in "$wine" xvfb-run xdotool xwininfo xwd python3; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

today=$(date +%Y-%m-%d)
text="Hallo vanuit Wine"

xvfb-run -a -s "-noreset -screen 0 1600x1200x24" bash -c '
  work=$1 exe=$2 text=$3 wine=$5
  . "$4/../e2e/xvfb_windows.sh"
  . "$4/wine_start.sh"
  start_in_wine
  sleep 2
  xwd -id "$main" -silent > "$work/month.xwd" || fail "no picture of the window"
  xdotool windowfocus --sync "$main" 2>/dev/null
  # F11: the whole screen, and back to the size it left.
  size() { xwininfo -id "$main" | awk "/Width:/ { w = \$2 } /Height:/ { h = \$2 } END { print w \"x\" h }"; }
  before=$(size)
  xdotool key F11
  sleep 1
  [ "$(size)" = 1600x1200 ] || fail "F11 did not fill the screen: $(size)"
  xdotool key F11
  sleep 1
  [ "$(size)" = "$before" ] || fail "back from full screen at $(size), not $before"
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key F5
  sleep 1
  xdotool type --delay 50 "$text"
  sleep 1
  xdotool key Escape
  sleep 1
  xdotool key alt+x
  for _ in $(seq 100); do
    # Wine leaves before the display goes.
    kill -0 $pid 2>/dev/null || { wineserver -k; exit 0; }
    sleep 0.1
  done
  fail "Alt+X did not end the program"
' _ "$work" "$exe" "$text" "$here" "$wine" || exit 1

# The same keys on Linux, on the same day.
"$headless" --data "$work/linux" --start-dir "$work" --now "$today 12:00:00" --out "$work/snaps" \
  --keys "snap:month F5 \"$text\" Esc Alt+X" >/dev/null || { echo "the Linux run failed"; exit 1; }
windows="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Almanouk"
[ -d "$windows" ] || { echo "no data folder at $windows"; exit 1; }
status=0
page=$(cd "$work/linux/Almanouk" && ls "$(date +%Y%m%d)".D0*)
for name in ALMANOUK.AMN ALMANOUK.AM2 Almanouk.ini roster.mp3 "$page"; do
  cmp -s "$windows/$name" "$work/linux/Almanouk/$name" || { echo "$name differs from the Linux build's"; status=1; }
done

# The iCalendar export of that calendar, by the Windows program in the Dutch
# zone and by the Linux build.
TZ=Europe/Amsterdam "$wine" "$exe" --export almanouk 'C:\export.ics' >/dev/null 2>&1 \
  || { echo "the Windows export failed"; status=1; }
wineserver -w
"$headless" --data "$work/linux" --start-dir "$work" --now "$today 12:00:00" \
  --run --export almanouk "$work/linux.ics" >/dev/null || { echo "the Linux export failed"; status=1; }
if ! cmp -s <(grep -v '^DTSTAMP:' "$WINEPREFIX/drive_c/export.ics") <(grep -v '^DTSTAMP:' "$work/linux.ics"); then
  echo "the Windows program's iCalendar export differs from the Linux build's"; status=1
elif ! grep -q '^BEGIN:VEVENT' "$work/linux.ics"; then
  echo "the export holds no event"; status=1
fi

# The month grid (rows 5 to 18: no clock in it) as the headless program draws it, at the window's scale.
python3 "$here/compare_window.py" "$work/month.xwd" "$work/snaps/month.png" ${shot:+"$shot"} || status=1
exit $status
