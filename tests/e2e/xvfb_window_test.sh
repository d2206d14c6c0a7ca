#!/usr/bin/env bash
# The real program in a virtual X server with SDL's dummy audio driver:
# the start-up notice is answered, the window appears, an alarm due now plays
# its sound and shows its message box, and Alt+X ends the program in order.
# Exit 77 = skipped (no Xvfb or xdotool here).
set -u
program=$1
for tool in xvfb-run xdotool xwininfo; do command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start"

# Daily alarms in this minute and the next, so one is due whatever the start-up takes.
now=$(date +%H:%M)
next=$(date -d '+1 minute' +%H:%M)
crlf() { printf '%s\r\n' "$@"; }
{
  crlf "Xvfb" "0" "7" "" "" "Maandelijks" "" "" "" "Wekelijks" "" "" "" "Dagelijks" "" "$now Alarm nu" "$next Alarm straks" "" ""
  for month in Januari Februari Maart April Mei Juni Juli Augustus September Oktober November December; do
    crlf "$month" "" "" ""
  done
  crlf "Einde"
} > "$data/ALMANOUK.AMN"
crlf "[Aan/Uit]" "PopUp=msg" "PC-Speaker=uit" "Sound=aan" "" "[Kleurthema]" "1" "" "[Tekstkleur]" "12" "" \
  "[Dagboekdagkleur]" "13" "" "[Almanoukkeuze]" "-> ALMANOUK.AMN = Xvfb                          7" "" "Einde." \
  > "$data/Almanouk.ini"

export APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
  # Message boxes are not found by xdotool search without a window manager; the window tree has them.
  windows() { xwininfo -root -tree | awk "/\"Almanouk\"/ {print \$1}" | sort; }
  # Waits up to $2 tenths of a second for $1 windows named Almanouk.
  await() { for _ in $(seq "$2"); do [ "$(windows | wc -l)" -ge "$1" ] && return 0; sleep 0.1; done; return 1; }
  press() { xdotool windowfocus --sync "$1" 2>/dev/null; xdotool key --window "$1" "$2"; }
  cd "$1/start" && "$2" & pid=$!
  fail() { echo "$1"; kill $pid 2>/dev/null; exit 1; }

  await 1 100 || fail "no start-up notice"
  press "$(windows | head -n 1)" Return
  await 1 100 || fail "no main window"
  main=$(windows | head -n 1)
  await 2 150 || fail "no alarm box"
  box=$(windows | grep -v "^$main$" | head -n 1)
  press "$box" Return
  sleep 0.5
  press "$main" alt+x
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "program did not end"
  wait $pid || fail "exit status $?"
' _ "$work" "$program" || exit 1

[ ! -e "$data/Almanouk.pyl" ] || { echo "instance marker left behind"; exit 1; }
[ -s "$data/roster.mp3" ] || { echo "default sound missing"; exit 1; }
