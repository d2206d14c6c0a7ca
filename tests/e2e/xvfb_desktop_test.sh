#!/usr/bin/env bash
# The real program on a 1920 x 1080 desktop with a window manager (openbox):
# maximised, and full screen with F11, its picture fills the window in its
# own 8:5 shape; the window's title names the active calendar and follows it;
# characters typed that code page 437 lacks are spelled with what it has; a
# second start brings the minimised window forward and ends; the next start
# opens the window where it stood.
#   xvfb_desktop_test.sh PROGRAM [MAXIMISED.png]
# Exit 77 = skipped (no Xvfb, openbox, wmctrl, xdotool, xwd or python3 here).
set -u
program=$(realpath "$1")
shot=${2:+$(realpath -m "$2")}
for tool in xvfb-run openbox wmctrl xdotool xwininfo xprop xwd xmodmap python3; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start"
. "$here/xvfb_data.sh"
calendar_file "Thuis" 0 > "$data/ALMANOUK.AMN"
calendar_file "Werk" 1 > "$data/WERK0000.AMN"
settings_file uit uit "-> ALMANOUK.AMN = Thuis                         7" \
  "   WERK0000.AMN = Werk                          7" > "$data/Almanouk.ini"

export APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-noreset -screen 0 1920x1080x24" bash -c '
  work=$1 program=$2 here=$3 shot=$4 spelled=$5
  . "$here/xvfb_windows.sh"
  openbox >/dev/null 2>&1 &
  sleep 1
  (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!
  await boxes || fail "no start-up notice"
  press "$(boxes | head -n 1)" Return
  await mains || fail "no main window"
  main=$(mains | head -n 1)
  sleep 1
  title() { xprop -id "$main" _NET_WM_NAME | sed "s/.* = \"\(.*\)\"/\1/"; }
  [ "$(title)" = "Almanouk — Thuis" ] || fail "title: $(title)"
  # The old title property too, for window managers that read only that one.
  xprop -id "$main" WM_NAME | grep -q "Almanouk . Thuis" || fail "old title: $(xprop -id "$main" WM_NAME)"

  wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
  sleep 1.5
  xwd -id "$main" -silent > "$work/maximised.xwd"
  python3 "$here/picture_fills.py" "$work/maximised.xwd" $shot || fail "maximised"
  xdotool windowfocus --sync "$main" 2>/dev/null
  xdotool key F11
  sleep 1.5
  xwd -id "$main" -silent > "$work/full.xwd"
  python3 "$here/picture_fills.py" "$work/full.xwd" || fail "full screen"
  [ "$(xwininfo -id "$main" | awk "/Height:/ {print \$2}")" = 1080 ] || fail "F11 did not fill the screen"
  xdotool key F11
  sleep 1
  xprop -id "$main" _NET_WM_STATE | grep -q MAXIMIZED_VERT || fail "back from F11 not maximised: $(xprop -id "$main" _NET_WM_STATE)"

  # In its own size and place, minimised: a second start brings it forward and ends.
  wmctrl -i -r "$main" -b remove,maximized_vert,maximized_horz
  sleep 0.5
  xdotool windowmove --sync "$main" 300 200
  sleep 0.5
  place=$(xwininfo -id "$main" | awk "/Absolute upper-left/ {printf \"%s \", \$4}")
  xdotool windowminimize --sync "$main"
  (cd "$work/start" && timeout 10 "$program" 2>>"$work/stderr") || fail "the second start did not end with status 0"
  forward() { xprop -id "$main" _NET_WM_STATE | grep -q HIDDEN || [ "$(xdotool getactivewindow)" != "$((main))" ] || echo up; }
  await forward || fail "the second start did not bring the window forward: $(xprop -id "$main" _NET_WM_STATE)"

  # The settings screen: down to the second calendar, choose it, leave.
  xdotool key F4 Down Down Down Down space Escape
  sleep 1
  [ "$(title)" = "Almanouk — Werk" ] || fail "title after choosing Werk: $(title)"

  # Typed characters the code page lacks are spelled with what it has.
  xdotool key F5
  sleep 0.5
  # The signs the keyboard map lacks get keys of their own first: xdotool
  # would otherwise change the map for each one while it types, and a program
  # that reads the key after the change back gets another sign.
  xmodmap -e "keycode 247 = EuroSign" -e "keycode 248 = rightsinglequotemark" -e "keycode 249 = leftdoublequotemark" \
    -e "keycode 250 = rightdoublequotemark" -e "keycode 251 = emdash"
  sleep 0.5
  # The keypad with NumLock off moves as the arrows do.
  xdotool type --delay 80 "ab"
  xdotool key KP_Left
  xdotool type --delay 80 "c "
  xdotool type --delay 80 "€ ’ “ ” —"
  sleep 0.5
  xdotool key Escape
  sleep 0.5
  # The one page of the diary besides its two end markers, whatever the date turned to meanwhile.
  page=$(ls "$work"/appdata/Almanouk/*.D1? | grep -v -e /19010101 -e /21000101 | head -n 1)
  grep -aqF "$spelled" "$page" || fail "the diary page holds: $(tr -s " " < "$page")"
  grep -aqF "ac $spelled" "$page" || fail "the keypad did not move: $(tr -s " " < "$page")"
  xdotool key alt+x
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "Alt+X did not end the program"

  # The next start: the window where it stood.
  (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!
  await boxes || fail "no start-up notice at the next start"
  press "$(boxes | head -n 1)" Return
  await mains || fail "no main window at the next start"
  main=$(mains | head -n 1)
  sleep 1
  again=$(xwininfo -id "$main" | awk "/Absolute upper-left/ {printf \"%s \", \$4}")
  [ "$again" = "$place" ] || fail "the window stood at $place and came back at $again"
  press "$main" alt+x
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.1; done
  fail "Alt+X did not end the program"
' _ "$work" "$program" "$here" "${shot:-}" "EUR ' \" \" -"
