#!/usr/bin/env bash
# Starts the real program in a virtual X server, checks that its window
# appears, and ends it from the keyboard. Exit 77 = skipped.
set -u
program=$1
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb/xdotool: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  cd "$2" && "$1" & pid=$!
  win=$(timeout 10 xdotool search --sync --name "^Almanouk$" | head -n 1)
  [ -n "$win" ] || { echo "window did not appear"; kill $pid; exit 1; }
  xdotool windowfocus --sync "$win" 2>/dev/null; xdotool key --window "$win" Escape
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "program did not end"; kill $pid; exit 1; fi
  wait $pid
' _ "$program" "$work"
