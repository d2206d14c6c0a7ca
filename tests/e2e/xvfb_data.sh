# Sourced by the window tests: the data files they start the program with.

crlf() { printf '%s\r\n' "$@"; }

# calendar_file NAME COLOUR [DAILY ENTRY...]: a calendar, its daily entries given.
calendar_file() {
  local name=$1 colour=$2
  shift 2
  crlf "$name" "$colour" "7" "" "" "Maandelijks" "" "" "" "Wekelijks" "" "" "" "Dagelijks" "" "$@" "" ""
  for month in Januari Februari Maart April Mei Juni Juli Augustus September Oktober November December; do
    crlf "$month" "" "" ""
  done
  crlf "Einde"
}

# settings_file POPUP SOUND CHOICE-LINE...: the settings, with no speaker tone.
settings_file() {
  local popup=$1 sound=$2
  shift 2
  crlf "[Aan/Uit]" "PopUp=$popup" "PC-Speaker=uit" "Sound=$sound" "" "[Kleurthema]" "1" "" "[Tekstkleur]" "12" "" \
    "[Dagboekdagkleur]" "13" "" "[Almanoukkeuze]" "$@" "" "Einde."
}
