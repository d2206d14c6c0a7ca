#!/usr/bin/env bash
# The real program where no display answers: it says so and ends with status
# 1 at once, before it touches the data folder, instead of running unseen.
#   no_display_test.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/start"

cd "$work/start" || exit 1
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:nowhere APPDATA="$work/appdata" SDL_AUDIODRIVER=dummy \
  timeout 20 "$program" >/dev/null 2>"$work/stderr"
status=$?
[ $status -eq 1 ] || { echo "exit status $status, not 1"; cat "$work/stderr"; exit 1; }
grep -q "almanouk: geen beeldscherm" "$work/stderr" || { echo "no message on stderr:"; cat "$work/stderr"; exit 1; }
[ ! -e "$work/appdata" ] || { echo "the data folder was touched"; exit 1; }
[ -z "$(ls -A "$work/start")" ] || { echo "the start folder was touched"; exit 1; }
