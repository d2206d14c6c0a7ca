#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop install.
#   install_test.sh files BUILD-FOLDER VERSION   the files, and --help and
#                                                --version answered at once
#   install_test.sh validators BUILD-FOLDER      desktop-file-validate,
#                                                appstreamcli and man find no fault
# Exit 77 = skipped (a validator is not installed here).
set -euo pipefail
mode=$1 build=$2 version=${3:-}
if [ "$mode" = validators ]; then
  for tool in desktop-file-validate appstreamcli man; do
    command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
  done
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
share=$prefix/share

files() {
  for file in bin/almanouk bin/almanouk-headless libexec/almanouk/almanouk-wachter share/applications/almanouk.desktop \
      share/metainfo/nl.almanouk.almanouk.metainfo.xml share/man/man1/almanouk.1.gz \
      share/man/man1/almanouk-headless.1.gz share/icons/hicolor/scalable/apps/almanouk.svg; do
    [ -f "$prefix/$file" ] || fail "$file not installed"
  done
  for size in 16 32 48 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/almanouk.png
    [ -f "$icon" ] || fail "no ${size}x$size icon"
    # Width and height open the PNG's header chunk, 16 bytes in.
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
    [ "$width x $height" = "$size x $size" ] || fail "the ${size}x$size icon is $width x $height"
  done
  for line in Exec=almanouk Icon=almanouk Terminal=false 'Categories=Office;Calendar;'; do
    grep -qxF "$line" "$share/applications/almanouk.desktop" || fail "desktop entry lacks $line"
  done

  # Answered before anything starts: a display driver that cannot exist would
  # fail the program at once, and nothing may appear in the start, home or data folder.
  mkdir -p "$work/start" "$work/home"
  run() {
    (cd "$work/start" && env -i PATH="$PATH" HOME="$work/home" APPDATA="$work/appdata" SDL_VIDEODRIVER=none \
      "$prefix/bin/$1" "$2") || fail "$1 $2 ended with status $?"
  }
  [ "$(run almanouk --version)" = "almanouk $version" ] || fail "almanouk --version: $(run almanouk --version)"
  [ "$(run almanouk-headless --version)" = "almanouk-headless $version" ] || fail "almanouk-headless --version"
  run almanouk --help | grep -q "^gebruik: almanouk" || fail "almanouk --help prints no usage"
  [ -z "$(find "$work/start" "$work/home" -mindepth 1)" ] && [ ! -e "$work/appdata" ] ||
    fail "--help or --version wrote files"
}

validators() {
  out=$(desktop-file-validate "$share/applications/almanouk.desktop" 2>&1) && [ -z "$out" ] ||
    fail "desktop-file-validate: $out"
  out=$(appstreamcli validate --no-net "$share/metainfo/nl.almanouk.almanouk.metainfo.xml" 2>&1) ||
    fail "appstreamcli: $out"
  for page in almanouk almanouk-headless; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
      man --warnings -E UTF-8 -l -Tutf8 -Z "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
  done
}

$mode
