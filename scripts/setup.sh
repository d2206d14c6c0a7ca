#!/usr/bin/env bash
# Installs what building, running and testing Almanouk need on Debian; with
# "windows", also the cross compiler, Wine and NSIS for the Windows program.
# Idempotent: prints nothing when everything is there already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  # the sanitizer build and the fuzzers
  clang libclang-rt-dev
  libsdl2-dev libsdl2-mixer-dev zlib1g-dev libx11-dev
  # iCalendar import and export; the independent reader that checks the export
  libical-dev python3-icalendar
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils
  # the X11 message box needs a core font on the display; Xvfb has none without it
  xfonts-base
  # the install's checks and the Debian package: validators, man, dpkg-shlibdeps and file for cpack
  desktop-file-utils appstream man-db groff-base dpkg-dev file
)
# scripts/setup.sh windows: also what the Windows program is built, tested and packed with.
if [[ "${1:-}" == windows ]]; then
  packages+=(
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
    wine wine64 nsis
    # a picture of the window under Wine
    x11-apps
  )
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
