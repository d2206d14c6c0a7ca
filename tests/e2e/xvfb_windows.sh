# Sourced inside the virtual X server by the window tests: the program's
# windows and a key sent to one of them.

# Every window whose title starts with Almanouk as "id width". The main window
# ("Almanouk — calendar") is at least 640 pixels wide, a message box
# ("Almanouk") is narrower; without a window manager xdotool search does not
# find message boxes, the window tree has them.
windows() { xwininfo -root -tree | awk '/"Almanouk( —[^"]*)?": \(/ { split($(NF-1), size, "x"); print $1, size[1] }'; }
boxes() { windows | awk '$2 < 640 { print $1 }'; }
mains() { windows | awk '$2 >= 640 { print $1 }'; }
# Focus can fail to arrive without a window manager; the key is sent to the window all the same.
press() { timeout 3 xdotool windowfocus --sync "$1" 2>/dev/null; xdotool key --window "$1" $2; }

# Ends the test; or waits for the command $1 to print something, up to $2
# tenths of a second (15 s when not given). The program's pid is in $pid, its
# errors, where kept, in $work/stderr.
fail() { echo "$1"; [ -f "$work/stderr" ] && cat "$work/stderr"; kill -9 $pid 2>/dev/null; exit 1; }
await() {
  for _ in $(seq "${2:-150}"); do
    kill -0 $pid 2>/dev/null || fail "the program ended early"
    [ -n "$($1)" ] && return 0
    sleep 0.1
  done
  return 1
}
