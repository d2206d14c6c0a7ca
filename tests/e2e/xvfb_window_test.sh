#!/usr/bin/env bash
# The real program in a virtual X server with SDL's dummy audio driver: the
# start-up notice is answered, the window appears, an alarm due now plays its
# sound and shows its message box (a window of its own, drawn in the
# program's font, so a display without fonts shows it too), the window bears
# the emblem as its icon, and Alt+X ends the program in order.
#   xvfb_window_test.sh PROGRAM
#   xvfb_window_test.sh PROGRAM nosound  no sound device: the alarm comes
#                                        without sound, the program runs on,
#                                        and the next minute's alarm tries again
# Exit 77 = skipped (no Xvfb or xdotool here).
set -u
program=$1
mode=${2:-system}
for tool in xvfb-run xdotool xwininfo; do command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start" "$work/nofonts"

# Daily alarms in this minute and the two after it, so that two are due
# whatever the start-up takes: a program whose clock first reads the next
# minute never sees this one's. All from one reading of the clock, or a
# minute may fall between them.
stamp=$(date +%s)
now=$(date -d "@$stamp" +%H:%M)
next=$(date -d "@$((stamp + 60))" +%H:%M)
later=$(date -d "@$((stamp + 120))" +%H:%M)
. "$(dirname "$0")/xvfb_data.sh"
calendar_file "Xvfb" 0 "$now Alarm nu" "$next Alarm straks" "$later Alarm later" > "$data/ALMANOUK.AMN"
settings_file msg aan "-> ALMANOUK.AMN = Xvfb                          7" > "$data/Almanouk.ini"

# Without -noreset the server resets whenever its last client leaves, here
# each xwininfo of the polls below, and refuses the program that connects
# during a reset.
server="-noreset -screen 0 1600x1200x24 -fp $work/nofonts"
export APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy
[ "$mode" = nosound ] && export SDL_AUDIODRIVER=no-such-device
xvfb-run -a -s "$server" bash -c '
  work=$1 program=$2 mode=$3
  . "$4"
  failures() { grep -c "het berichtvenster kan niet verschijnen" "$work/stderr"; }
  # Waits up to $2 tenths of a second until $1 prints something, or with $3 = none, nothing.
  await() {
    for _ in $(seq "$2"); do
      kill -0 $pid 2>/dev/null || fail "the program ended early"
      out=$($1)
      if [ "${3:-}" = none ]; then [ -z "$out" ] && return 0; else [ -n "$out" ] && return 0; fi
      sleep 0.1
    done
    return 1
  }
  (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!

  # The calendar has alarms in three minutes: when the test runs across the
  # turn of a minute the next one fires too, even in the poll that reads
  # Alt+X. Ending the program therefore answers every alarm that comes.
  answerAlarms() {
    box=$(boxes | head -n 1)
    if [ -n "$box" ]; then press "$box" Return; fi
  }

  await boxes 150 || fail "no start-up notice"
  [ -z "$(mains)" ] || fail "the window opened before the start-up notice was answered"
  notice=$(boxes | head -n 1)
  press "$notice" Return
  await mains 150 || fail "no main window"
  # The alarm of this minute may come at once: only the notice itself must go.
  noticeStays() { boxes | grep -x "$notice"; }
  await noticeStays 50 none || fail "the start-up notice stayed"
  main=$(mains | head -n 1)
  await boxes 200 || fail "no alarm box"
  alarm=$(boxes | head -n 1)
  answerAlarms
  alarmStays() { boxes | grep -x "$alarm"; }
  await alarmStays 50 none || fail "the alarm box stayed"
  if [ "$mode" = nosound ]; then
    grep -q "het geluid kan niet starten" "$work/stderr" || fail "no word of the sound that could not start"
    await boxes 700 || fail "no second alarm: the program did not run on"
    answerAlarms
    [ "$(grep -c "het geluid kan niet starten" "$work/stderr")" -ge 2 ] || fail "the second alarm did not try the sound"
  fi
  [ "$(failures)" -eq 0 ] || fail "a message box was drawn in the window"
  xprop -id "$main" _NET_WM_ICON | grep -q "Icon (64 x 64)" || fail "the window has no emblem icon"
  # A box takes every key while it is up: an Alt+X that came meanwhile is pressed again.
  for tick in $(seq 100); do
    kill -0 $pid 2>/dev/null || break
    answerAlarms
    [ $((tick % 10)) -eq 1 ] && press "$main" alt+x
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null && fail "program did not end"
  wait $pid || fail "exit status $?"
' _ "$work" "$program" "$mode" "$(cd "$(dirname "$0")" && pwd)/xvfb_windows.sh" || exit 1

[ ! -e "$data/Almanouk.pyl" ] || { echo "instance marker left behind"; exit 1; }
[ -s "$data/roster.mp3" ] || { echo "default sound missing"; exit 1; }
