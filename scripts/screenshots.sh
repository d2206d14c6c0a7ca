#!/usr/bin/env bash
# Makes the README's screenshots with the headless driver, so they never go
# stale: each screen in a fresh data folder at a fixed moment.
#   scripts/screenshots.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
driver=${1:-build}/almanouk-headless
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shot NAME NOW KEYS [SETUP [DRIVER-OPTIONS...]]: runs the driver and writes docs/NAME.png.
shot() {
  local name=$1 now=$2 keys=$3 setup=${4:-}
  local data="$work/$name"
  mkdir -p "$data/Almanouk"
  [ -z "$setup" ] || (cd "$data/Almanouk" && eval "$setup")
  "$driver" --data "$data" --start-dir "$data" --now "$now" --keys "$keys" --png "docs/$name.png" "${@:5}"
}

crlf() { printf '%s\r\n' "$@"; }

# calendar NAME DESCRIPTION JANUARY-ENTRIES...: a calendar file with entries in January only.
calendar() {
  local file=$1 description=$2
  shift 2
  crlf "$description" "0" "7" "" "" Maandelijks "" "" "" Wekelijks "" "" "" Dagelijks "" "" "" Januari "" "$@" "" "" > "$file"
  for m in Februari Maart April Mei Juni Juli Augustus September Oktober November December; do crlf "$m" "" "" "" >> "$file"; done
  crlf Einde >> "$file"
}

shot month-view "2012-01-13 10:24:00" ""
shot help "2012-01-13 10:24:00" "F1"
shot readme "2012-01-13 10:24:00" "F6"
shot all-calendars "2012-01-13 10:24:00" "F7" \
  'calendar WERK0000.AMN Werk "14 09:00 Overleg met het team" "18 14:30 Tandarts"
   calendar THUIS000.AMN Thuis "13 2012 19:30 Eten bij Anna" "16 Verjaardag Piet"'
# The alarm's message box, drawn in the window: PopUp stepped from ntp to msg first.
shot alarm "2012-01-13 10:24:40" "F4 Space Space Esc wait:30" "" --draw-boxes
shot diary "2012-03-07 21:30:00" \
  'Enter "Vandaag de eerste lentezon. Koffie op het terras en daarna een" Enter "lange wandeling langs de rivier." Enter "Morgen: boodschappen, bibliotheek."'
shot list-editor "2012-03-07 21:30:00" \
  'F2 Home "07 Verjaardag Anna (1984)" Enter "12 09:30 Tandarts" Enter "21 2012 19:00 Concert in de Doelen"'
shot settings "2012-03-07 21:30:00" \
  'F4 Down Down Down Enter "Werk" Enter "n" "thuis" Enter Down Down Down Down' 'calendar WERK0000.AMN Werk'
# page DATE LINES...: a diary page of the calendar's diary "0", 80 columns to a line.
page() {
  local date=$1
  shift
  printf '%-80s' "$@" > "$(date -d "$date" +%Y%m%d).D0$(date -d "$date" +%u)"
}
shot search "2012-01-13 10:24:00" 'F8 "tandarts" Enter Down' \
  'calendar ALMANOUK.AMN Thuis "18 2012 14:30 Tandarts (controle)" "25 Tandartsrekening betalen"
   page 2011-12-02 "" "  Vandaag naar de tandarts: een kleine vulling, niets ernstigs."
   page 2011-06-20 "" "  Lange dag. De tandarts belde om de afspraak te verzetten naar juli."
   page 2010-11-09 "" "  Eindelijk een nieuwe tandarts gevonden, vlak bij het station."'
echo "docs/*.png written"
