#!/usr/bin/env bash
# How long the real window takes from Enter on the start-up notice to the
# month view shown, against a bare SDL window of the same size from its start
# to its first frame, both under Xvfb with a window manager and under strace:
# the moment drawn is the first long wait for events after it (both wait so
# once their frame is out).
#   scripts/start-bench.sh [PROGRAM] [BARE-WINDOW] [RUNS]
# Prints a Markdown table row with the medians; exits 1 over the goal (1.1x).
set -euo pipefail
program=$(realpath "${1:-build/almanouk}")
bare=$(realpath "${2:-build/bench/bare_window}")
runs=${3:-5}
for tool in Xvfb openbox xdotool xwininfo strace; do
  command -v $tool >/dev/null || { echo "needs $tool (scripts/setup.sh)"; exit 1; }
done
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -noreset -screen 0 1600x1200x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy
openbox >/dev/null 2>&1 &
sleep 1

# Milliseconds from the moment $1 (seconds since the epoch) to the first wait
# of 50 ms or more for the window's events in the trace $2.
drawn_after() {
  awk -v t0="$1" '$2 + 0 > t0 && /POLLIN\|POLLPRI}\], 1, [0-9]+\)/ {
    timeout = $0; sub(/.*, /, "", timeout); sub(/\).*/, "", timeout)
    if (timeout + 0 >= 50) { printf "%.1f\n", ($2 - t0) * 1000; exit }
  }' "$2"
}

# A started program's main window, or its notice box ($1: main|box).
window_of() {
  xwininfo -root -tree | awk -v want="$1" '/"(Almanouk|Kaal)( —[^"]*)?": \(/ {
    split($(NF-1), size, "x"); if ((want == "main") == (size[1] >= 640)) { print $1; exit } }'
}

program_run() {
  local data="$work/run/Almanouk" box=""
  rm -rf "$work/run" && mkdir -p "$data"
  # A first start writes its files; the start measured finds them.
  for pass in first measured; do
    (cd "$work/run" && APPDATA="$work/run" exec strace -f -ttt -e trace=poll -o "$work/trace" "$program" \
      >/dev/null 2>&1) &
    local pid=$!
    for _ in $(seq 100); do box=$(window_of box); [ -n "$box" ] && break; sleep 0.1; done
    sleep 0.5
    local t0; t0=$(date +%s.%N)
    xdotool key --window "$box" Return
    # The first start answers its further boxes too.
    for _ in $(seq 20); do
      sleep 0.1
      box=$(window_of box)
      if [ $pass = first ] && [ -n "$box" ]; then xdotool key --window "$box" Return; fi
    done
    # The program under strace ends in order on its termination signal.
    kill $(pgrep -P "$pid") 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ $pass = measured ]; then drawn_after "$t0" "$work/trace"; fi
  done
}

bare_run() {
  local t0; t0=$(date +%s.%N)
  strace -f -ttt -e trace=poll -o "$work/trace" "$bare" >/dev/null 2>&1 & local pid=$!
  sleep 1.5
  kill $(pgrep -P "$pid") 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  drawn_after "$t0" "$work/trace"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
programs=(); bares=()
for _ in $(seq "$runs"); do programs+=("$(program_run)"); bares+=("$(bare_run)"); done
p=$(printf '%s\n' "${programs[@]}" | median)
b=$(printf '%s\n' "${bares[@]}" | median)
ratio=$(awk -v p="$p" -v b="$b" 'BEGIN { printf "%.2f", p / b }')
echo "| window start: Enter on the notice to the month view | <= 1.1 x a bare SDL window's first frame | $p ms, $ratio x ($b ms) |"
awk -v r="$ratio" 'BEGIN { exit !(r > 1.1) }' && { echo "over the goal"; exit 1; }
exit 0
