#!/usr/bin/env bash
# The watcher and the real program hand the alarm clock to each other, in
# real time, on a desktop with a session bus and a real notification daemon
# (dunst): three alarms a minute apart, the first while the watcher watches,
# the second while the program runs (started meanwhile: the watcher steps
# aside), the third after the program ended (the watcher took over again).
# Each is told exactly once; "almanouk --wachter uit" then ends the watcher.
#   xvfb_watcher_test.sh PROGRAM
# Exit 77 = skipped (no Xvfb, openbox, dbus, dunst or xdotool here).
set -u
program=$(realpath "$1")
for tool in xvfb-run openbox xdotool xwininfo dbus-run-session dunst dunstctl python3; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
[ -x "$(dirname "$program")/almanouk-wachter" ] || { echo "no almanouk-wachter: skipped"; exit 77; }
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start" "$work/config"

# The first alarm in the next minute that leaves the watcher twenty seconds
# to start; all three from one reading of the clock.
stamp=$(date +%s)
first=$(( (stamp / 60 + 1) * 60 ))
[ $((first - stamp)) -lt 20 ] && first=$((first + 60))
at() { date -d "@$1" +%H:%M; }
. "$here/xvfb_data.sh"
calendar_file "Overdracht" 0 "$(at $first) Een" "$(at $((first + 60))) Twee" "$(at $((first + 120))) Drie" \
  > "$data/ALMANOUK.AMN"
settings_file msg aan "-> ALMANOUK.AMN = Overdracht                    7" > "$data/Almanouk.ini"
printf '[global]\n    follow = none\n[urgency_critical]\n    timeout = 0\n' > "$work/dunstrc"

export APPDATA="$work/appdata" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" dbus-run-session -- bash -c '
  work=$1 program=$2 here=$3 first=$4 data=$5
  . "$here/xvfb_windows.sh"
  fail() { echo "$1"; cat "$work/stderr" "$work/watcher" 2>/dev/null; kill -9 $pid $watcher 2>/dev/null; exit 1; }
  await() {
    for _ in $(seq "$2"); do
      eval "$1" >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    return 1
  }
  waitUntil() { local wait=$(( $1 - $(date +%s) )); [ $wait -gt 0 ] && sleep $wait; }
  serving() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.Notifications | grep -q true
  }
  marker() { head -c 3 "$data/Almanouk.pyl" 2>/dev/null; }
  openbox >/dev/null 2>&1 &
  dunst -config "$work/dunstrc" >/dev/null 2>&1 &
  pid=
  await serving 100 || fail "dunst did not start"

  (cd "$work/start" && exec "$program" --wachter 2>"$work/watcher") & watcher=$!
  await "[ \"\$(marker)\" = wac ]" 100 || fail "the watcher does not hold the folder"
  waitUntil $((first + 5))
  [ "$(dunstctl count displayed)" = 1 ] || fail "the first alarm is no notification"

  (cd "$work/start" && exec "$program" 2>"$work/stderr") & pid=$!
  await "[ -n \"\$(boxes)\" ]" 150 || fail "no start-up notice"
  press "$(boxes | head -n 1)" Return
  await "[ -n \"\$(mains)\" ]" 150 || fail "no main window: the watcher did not step aside"
  [ "$(marker)" = pyl ] || fail "the program does not hold the folder"
  main=$(mains | head -n 1)
  xdotool windowactivate --sync "$main" 2>/dev/null
  waitUntil $((first + 65))
  await "[ -n \"\$(boxes)\" ]" 100 || fail "the second alarm is no box"
  press "$(boxes | head -n 1)" Return
  await "[ -z \"\$(boxes)\" ]" 50 || fail "the box stayed"
  press "$main" alt+x 2>/dev/null
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "Alt+X did not end the program"
  await "[ \"\$(marker)\" = wac ]" 100 || fail "the watcher did not take over"

  waitUntil $((first + 125))
  await "[ \"\$(dunstctl count displayed)\" = 2 ]" 50 || fail "the third alarm is no notification"
  dunstctl close-all
  sleep 0.5
  dunstctl history | python3 -c "
import json, sys
bodies = [n[\"body\"][\"data\"] for n in json.load(sys.stdin)[\"data\"][0]]
told = sorted(body.split()[-1] for body in bodies)
sys.exit(0 if told == [\"Drie\", \"Een\"] else \"told on the desktop: %s\" % bodies)
" || fail "not each alarm once"

  "$program" --wachter uit >/dev/null
  for _ in $(seq 50); do kill -0 $watcher 2>/dev/null || break; sleep 0.1; done
  kill -0 $watcher 2>/dev/null && fail "the watcher did not end when turned off"
  grep -v "^$" "$work/watcher" && fail "the watcher complained"
  exit 0
' _ "$work" "$program" "$here" "$first" "$data"
