# Sourced inside the virtual X server by the Wine window tests, after
# ../e2e/xvfb_windows.sh: starts $exe under $wine in $work/start and answers
# the start-up notice; $pid and $main are the program and its main window then.
start_in_wine() {
  # A new Wine prefix is made on the display and finished first: a program
  # started while Wine still sets itself up may get no window.
  wineboot --init >/dev/null 2>&1
  wineserver -w
  mkdir -p "$work/start"
  (cd "$work/start" && exec "$wine" "$exe") & pid=$!
  await boxes 300 || fail "no start-up notice"
  press "$(boxes | head -n 1)" Return
  await mains 300 || fail "no main window"
  main=$(mains | head -n 1)
}
