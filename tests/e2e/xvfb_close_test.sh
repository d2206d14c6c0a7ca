#!/usr/bin/env bash
# The desktop ending the session while the calendar editor is open: the
# program leaves the editor as Esc does (the typed entry is saved) and ends
# in order, on a termination or a hangup signal alike; a second signal during
# that end does not cut it short (status 0). And while a box is open (the
# start notice, "Gemiste alarmen"): the box closes, the program ends in order,
# and nothing of it outlives it.
#   xvfb_close_test.sh PROGRAM TERM|HUP
# Exit 77 = skipped (no Xvfb or xdotool here).
set -u
program=$1
signal=$2
for tool in xvfb-run xdotool xwininfo; do command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start"

export APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-noreset -screen 0 1600x1200x24" bash -c '
  work=$1 program=$2 signal=$3
  . "$4"
  (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!
  await boxes || fail "no start-up notice"
  press "$(boxes | head -n 1)" Return
  await mains || fail "no main window"
  main=$(mains | head -n 1)
  sleep 0.5
  press "$main" "F2 Home 0 7 space S i g n a a l"
  sleep 0.5
  kill -$signal $pid
  kill -$signal $pid 2>/dev/null
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the program did not end on SIG$signal"
  wait $pid || fail "exit status $?"

  # A box open: the start notice, then the list of alarms missed while the program was closed.
  for box in notice missed; do
    if [ $box = missed ]; then
      printf "%s\r\n" "$(date -d "-30 min" "+%Y-%m-%d %H:%M")" > "$work/appdata/Almanouk/Almanouk.tijd"
      sed -i "s/^01:28 Elke dag/$(date -d "-15 min" +%H:%M) Gemist\r\n&/" "$work/appdata/Almanouk/ALMANOUK.AMN"
    fi
    (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!
    await boxes || fail "no start-up notice"
    if [ $box = missed ]; then
      press "$(boxes | head -n 1)" Return
      missed() { xwininfo -root -tree | grep -F "\"Gemiste alarmen\""; }
      await missed || fail "no box of missed alarms"
    fi
    kill -$signal $pid
    for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill -0 $pid 2>/dev/null && fail "the program did not end on SIG$signal with the $box box open"
    wait $pid || fail "exit status $? with the $box box open"
    [ -z "$(pgrep -P $pid)" ] || fail "a process of the program outlived it"
    [ -z "$(xwininfo -root -tree | grep -F "\"Gemiste alarmen\"")" ] || fail "the $box box outlived the program"
  done
' _ "$work" "$program" "$signal" "$(cd "$(dirname "$0")" && pwd)/xvfb_windows.sh" || exit 1

grep -q "07 Signaal" "$data/ALMANOUK.AMN" || { echo "the editor's entry was lost"; exit 1; }
[ ! -e "$data/Almanouk.pyl" ] || { echo "instance marker left behind"; exit 1; }
