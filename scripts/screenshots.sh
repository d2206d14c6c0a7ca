#!/usr/bin/env bash
# Makes the README's screenshots with the headless driver, so they never go
# stale: each screen in a fresh data folder at a fixed moment.
#   scripts/screenshots.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
driver=${1:-build}/almanouk-headless
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shot NAME NOW KEYS [SETUP]: runs the driver and writes docs/NAME.png.
shot() {
  local name=$1 now=$2 keys=$3 setup=${4:-}
  local data="$work/$name"
  mkdir -p "$data/Almanouk"
  [ -z "$setup" ] || (cd "$data/Almanouk" && eval "$setup")
  "$driver" --data "$data" --start-dir "$data" --now "$now" --keys "$keys" --png "docs/$name.png"
}

crlf() { printf '%s\r\n' "$@"; }

shot month-view "2012-01-13 10:24:00" ""
shot diary "2012-03-07 21:30:00" \
  'Enter "Vandaag de eerste lentezon. Koffie op het terras en daarna een" Enter "lange wandeling langs de rivier." Enter "Morgen: boodschappen, bibliotheek."'
shot list-editor "2012-03-07 21:30:00" \
  'F2 Home "07 Verjaardag Anna (1984)" Enter "12 09:30 Tandarts" Enter "21 2012 19:00 Concert in de Doelen"'
shot settings "2012-03-07 21:30:00" \
  'F4 Down Down Down Enter "Werk" Enter "n" "thuis" Enter Down Down Down Down' \
  'crlf "Werk" "0" "7" "" "" Maandelijks "" "" "" Wekelijks "" "" "" Dagelijks "" "" "" > WERK0000.AMN
   for m in Januari Februari Maart April Mei Juni Juli Augustus September Oktober November December; do crlf "$m" "" "" "" >> WERK0000.AMN; done
   crlf Einde >> WERK0000.AMN'
echo "docs/*.png written"
