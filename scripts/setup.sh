#!/usr/bin/env bash
# Installs from Debian what Almanouk needs:
#   scripts/setup.sh run      building and running the program (make run)
#   scripts/setup.sh test     and testing it: sanitizers, fuzzers, GoogleTest,
#                             Benchmark, Xvfb and the package checks (make test)
#   scripts/setup.sh windows [BUILD]  and the cross compiler, Wine and NSIS for the
#                             Windows program (make windows), and libical built
#                             for it from Debian's source into BUILD (build-windows)
# Idempotent: prints nothing when everything is there already.
set -euo pipefail
purpose=${1:-test}

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev zlib1g-dev libx11-dev
  # iCalendar import and export
  libical-dev
  # CalDAV sync: HTTP and TLS, WebDAV XML
  libcurl4-openssl-dev libxml2-dev
  # alarms as the desktop's notifications, through the session bus
  libsystemd-dev
  # the program in a terminal: terminfo
  libncurses-dev
)
if [[ "$purpose" == test || "$purpose" == windows ]]; then
  packages+=(
    # the sanitizer build and the fuzzers
    clang libclang-rt-dev
    libgtest-dev libbenchmark-dev
    # the independent readers that check the iCalendar export and import
    python3-icalendar python3-recurring-ical-events
    # the real window under a virtual X server, with a window manager, and pictures of it
    xvfb xauth xdotool x11-utils x11-apps x11-xserver-utils openbox wmctrl strace
    # a session bus and a real notification daemon that reads back what it showed;
    # a clock ten times as fast for the program, so that a snooze takes thirty seconds
    dbus dunst faketime
    # the X11 message box needs a core font on the display; Xvfb has none without it
    xfonts-base
    # the program in a real pseudo-terminal, read back by a terminal emulator; tmux for the idle measure
    python3-pyte tmux
    # the sync against real CalDAV servers, a second client and kill -9 at every file replacement
    radicale xandikos vdirsyncer python3-requests strace
    # the install's checks and the Debian package: validators, man, dpkg-shlibdeps, file for cpack, lintian
    desktop-file-utils appstream man-db groff-base dpkg-dev file lintian
  )
fi
if [[ "$purpose" == windows ]]; then
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 nsis)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ "$purpose" == windows ]]; then
  "$(dirname "$0")/libical-windows.sh" "${2:-build-windows}"
fi
