#!/usr/bin/env bash
# What the real program costs while it sits in the month view, in its window
# (under Xvfb) and in a terminal (tmux), and the watcher (almanouk-wachter
# beside it) while it waits for an alarm: CPU share of one core, resident
# memory and threads, measured from /proc.
#   scripts/idle-bench.sh [PROGRAM] [SECONDS] [RUNS]
# Prints a Markdown table: one row per program and calendar, the median of the runs.
set -euo pipefail
program=$(realpath "${1:-build/almanouk}")
watcher=$(dirname "$program")/almanouk-wachter
seconds=${2:-60}
runs=${3:-3}
for tool in Xvfb xdotool xwininfo tmux; do command -v $tool >/dev/null || { echo "needs $tool (scripts/setup.sh)"; exit 1; }; done

work=$(mktemp -d)
tmux_server=almanouk-idle-$$
trap 'kill $(jobs -p) 2>/dev/null; tmux -L "$tmux_server" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
crlf() { printf '%s\r\n' "$@"; }

# A calendar of about 4000 lines, entries in every month.
long_calendar() {
  crlf "Lang" "0" "7" "" "" Maandelijks "" "01 Huur" "" "" Wekelijks "" "Ma 09:00 Overleg" "" "" Dagelijks "" "07:30 Opstaan" "" ""
  for month in Januari Februari Maart April Mei Juni Juli Augustus September Oktober November December; do
    crlf "$month" ""
    for i in $(seq 330); do crlf "$((i % 28 + 1)) Verjaardag van iemand met een lange naam $i"; done
    crlf "" ""
  done
  crlf "Einde"
}

display=:$((90 + RANDOM % 100))
Xvfb "$display" -noreset -screen 0 1600x1200x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy

# measure PROGRAM CALENDAR-KIND [terminal]: prints "cpu-percent rss-kb threads" for one run.
measure() {
  local data="$work/run/Almanouk"
  rm -rf "$work/run" && mkdir -p "$data"
  [ "$2" = long ] && long_calendar > "$data/ALMANOUK.AMN"
  local pid
  if [ "${3:-}" = terminal ]; then
    # An 80 x 25 terminal of tmux's, the program in it; the notice answered as the user does.
    tmux -L "$tmux_server" new-session -d -x 80 -y 25 \
      "cd '$work/run' && APPDATA='$work/run' TERM=tmux-256color exec '$1' --terminal"
    pid=$(tmux -L "$tmux_server" list-panes -F '#{pane_pid}')
    sleep 1
    tmux -L "$tmux_server" send-keys Enter
  else
    (cd "$work/run" && APPDATA="$work/run" exec "$1" >/dev/null 2>&1) &
    pid=$!
  fi
  if [ "$1" = "$program" ] && [ "${3:-}" != terminal ]; then
    for _ in $(seq 100); do
      box=$(xwininfo -root -tree | awk '/"Almanouk": \(/ { split($(NF-1), s, "x"); if (s[1] < 640) print $1 }' | head -n 1)
      [ -n "$box" ] && break
      sleep 0.1
    done
    [ -n "$box" ] && xdotool key --window "$box" Return 2>/dev/null
  elif [ "$1" != "$program" ]; then
    crlf "[Aan/Uit]" "PopUp=msg" "PC-Speaker=uit" "Sound=aan" "" "[Kleurthema]" "1" "" "[Tekstkleur]" "12" "" \
      "[Dagboekdagkleur]" "13" "" "[Almanoukkeuze]" "-> ALMANOUK.AMN = Lang                          7" "" "Einde." \
      > "$data/Almanouk.ini"
  fi
  sleep 3  # the window opens and settles; the watcher reads its calendar
  # Nanoseconds on the processor: a tick of the clock (10 ms) is too coarse for these shares.
  nanoseconds() { awk '{ print $1 }' "/proc/$pid/schedstat"; }
  local before; before=$(nanoseconds)
  sleep "$seconds"
  local after; after=$(nanoseconds)
  local rss threads
  rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
  threads=$(awk '/Threads/ { print $2 }' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  if [ "${3:-}" = terminal ]; then tmux -L "$tmux_server" kill-server 2>/dev/null || true; fi
  awk -v t=$((after - before)) -v s="$seconds" -v r="$rss" -v n="$threads" \
    'BEGIN { printf "%.4f %d %d\n", 100 * t / 1e9 / s, r, n }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Goals: next to no CPU while idle, and the memory of a bare SDL window of
# the same size and little more; a long calendar adds its model (about 1 MB).
# In a terminal the program costs no more than in its window. The watcher,
# without a window, costs less still.
echo "| program | calendar | CPU, % of a core | goal | RSS | goal | threads |"
echo "|---|---|---|---|---|---|---|"
status=0
declare -A window_cpu
for who in program terminal watcher; do
  [ $who = watcher ] && [ ! -x "$watcher" ] && continue
  for kind in template long; do
    results=()
    for _ in $(seq "$runs"); do
      case $who in
        program) results+=("$(measure "$program" $kind)") ;;
        terminal) results+=("$(measure "$program" $kind terminal)") ;;
        watcher) results+=("$(measure "$watcher" $kind)") ;;
      esac
    done
    cpu=$(printf '%s\n' "${results[@]}" | awk '{ print $1 }' | median)
    rss=$(printf '%s\n' "${results[@]}" | awk '{ print $2 }' | median)
    threads=$(printf '%s\n' "${results[@]}" | awk '{ print $3 }' | median)
    label=$([ $kind = template ] && echo "template" || echo "4000 lines")
    case $who in
      program) cpu_goal=0.1; rss_goal_mb=$([ $kind = template ] && echo 15 || echo 17); window_cpu[$kind]=$cpu ;;
      terminal) cpu_goal=${window_cpu[$kind]}; rss_goal_mb=$([ $kind = template ] && echo 15 || echo 17) ;;
      watcher) cpu_goal=0.02; rss_goal_mb=6 ;;
    esac
    rss_mb=$(awk -v r="$rss" 'BEGIN { printf "%.1f", r / 1024 }')
    name=$([ $who = terminal ] && echo "program in a terminal" || echo $who)
    printf '| %s | %s | %s | <= %s | %s MB | <= %s MB | %s |\n' "$name" "$label" "$cpu" "$cpu_goal" "$rss_mb" "$rss_goal_mb" "$threads"
    awk -v r="$rss_mb" -v g="$rss_goal_mb" -v c="$cpu" -v cg="$cpu_goal" 'BEGIN { exit !(r > g || c > cg) }' && status=1
  done
done
[ $status = 0 ] || echo "over a goal"
exit $status
