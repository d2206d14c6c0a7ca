#!/usr/bin/env bash
# Runs the X error probe in a virtual X server: an event sent to a closed
# window is dropped, another error still ends the program with status 1.
# Exit 77 = skipped (no Xvfb here).
set -u
probe=$1
command -v xvfb-run >/dev/null || { echo "no xvfb-run: skipped"; exit 77; }
xvfb-run -a -s "-noreset" bash -c '
  probe=$1
  out=$("$probe" sent-to-closed 2>&1) || { echo "an event to a closed window ended the program: $out"; exit 1; }
  "$probe" other-error >/dev/null 2>&1 && { echo "another X error did not end the program"; exit 1; }
  [ $? -eq 1 ] || { echo "another X error ended the program with status $?, not 1"; exit 1; }
  exit 0
' _ "$probe"
