#!/usr/bin/env bash
# The real program on a desktop with a window manager (openbox), a session
# bus and a real notification daemon (dunst): with the window minimised, an
# alarm asks for attention and shows as the desktop's notification, with its
# text, instead of the box; "Sluimeren 5 min" chosen in the notification's
# menu brings it back five minutes later; the window in front by then, it
# comes as the box and the desktop shows nothing more.
# The program's clock runs ten times as fast (faketime), so that the five
# minutes take thirty seconds.
#   xvfb_notification_test.sh PROGRAM
# Exit 77 = skipped (no Xvfb, openbox, dbus, dunst, faketime or xdotool here).
set -u
program=$(realpath "$1")
for tool in xvfb-run openbox xdotool xwininfo xprop dbus-run-session dunst dunstctl faketime; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data="$work/appdata/Almanouk"
mkdir -p "$data" "$work/start"
. "$here/xvfb_data.sh"
calendar_file "Bureaublad" 0 "10:01 Tandarts" > "$data/ALMANOUK.AMN"
settings_file msg uit "-> ALMANOUK.AMN = Bureaublad                    7" > "$data/Almanouk.ini"

# The notification's menu: dunst hands its entries to this "dmenu", which
# keeps them and chooses the snooze.
cat > "$work/menu" <<EOF
#!/bin/sh
tee "$work/menu-entries" | grep -F "Sluimeren 5 min" | head -n 1
EOF
chmod +x "$work/menu"
printf '[global]\n    dmenu = %s\n[urgency_critical]\n    timeout = 0\n' "$work/menu" > "$work/dunstrc"

export APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" dbus-run-session -- bash -c '
  work=$1 program=$2 here=$3
  . "$here/xvfb_windows.sh"
  fail() { echo "$1"; cat "$work/stderr"; xwininfo -root -tree | grep -i almanouk; kill -9 $pid 2>/dev/null; exit 1; }
  # Waits up to $2 tenths of a second until $1 succeeds.
  await() {
    for _ in $(seq "$2"); do
      kill -0 $pid 2>/dev/null || fail "the program ended early"
      eval "$1" >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    return 1
  }
  shown() { dunstctl count displayed; }
  openbox >/dev/null 2>&1 &
  dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
  pid=$$
  # Asked by name, not with dunstctl, which would start a second dunst through the bus.
  serving() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.Notifications | grep -q true
  }
  await serving 100 || fail "dunst did not start"
  # 09:59:00 at ten times the speed: the 10:01 alarm comes twelve seconds after the start.
  (cd "$work/start" && exec faketime -f "@2026-12-09 09:59:00 x10" "$program" 2>"$work/stderr") & pid=$!
  await "[ -n \"\$(boxes)\" ]" 150 || fail "no start-up notice"
  press "$(boxes | head -n 1)" Return
  await "[ -n \"\$(mains)\" ]" 150 || fail "no main window"
  main=$(mains | head -n 1)
  xdotool windowminimize --sync "$main"

  await "[ \"\$(shown)\" = 1 ]" 200 || fail "no notification on the desktop"
  [ -z "$(boxes)" ] || fail "a box came beside the notification"
  xprop -id "$main" _NET_WM_STATE | grep -q DEMANDS_ATTENTION || fail "no attention asked: $(xprop -id "$main" _NET_WM_STATE)"
  dunstctl context
  await "[ \"\$(shown)\" = 0 ]" 50 || fail "the notification stayed after its answer"
  grep -q "Sluimeren 5 min" "$work/menu-entries" || fail "no snooze in the menu: $(cat "$work/menu-entries")"
  grep -q "\\[.*ok\\]" "$work/menu-entries" || fail "no OK in the menu: $(cat "$work/menu-entries")"
  dunstctl history | grep -q "09 10:01 Tandarts" || fail "not the alarm shown: $(dunstctl history)"

  # Back at the window: the snoozed alarm comes as the box, and nothing on the desktop.
  xdotool windowactivate --sync "$main"
  await "[ -n \"\$(boxes)\" ]" 600 || fail "the snoozed alarm did not come back"
  [ "$(shown)" = 0 ] || fail "a notification with the window in front"
  press "$(boxes | head -n 1)" Return
  await "[ -z \"\$(boxes)\" ]" 50 || fail "the box stayed"
  press "$main" alt+x 2>/dev/null  # the window may be gone before the key is let go
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "Alt+X did not end the program"
  wait $pid || fail "the program ended with status $?"
  exit 0
' _ "$work" "$program" "$here"
