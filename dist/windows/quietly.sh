#!/bin/sh
# Runs a program of the build under Wine without its chatter: no display (the
# icon tool needs none), no debugging channels, and what it prints shown only
# when it fails.
#   quietly.sh WINE PROGRAM [ARGUMENT...]
log=$(mktemp)
trap 'rm -f "$log"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all "$@" >"$log" 2>&1
status=$?
[ $status = 0 ] || cat "$log" >&2
exit $status
