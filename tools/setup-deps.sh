#!/usr/bin/env bash
# Installs the Debian packages Torvik builds and tests with. Does nothing when all are present.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config git ccache
  # libraries of the program
  libsqlite3-dev sqlite3 libpugixml-dev libhidapi-dev libudev-dev libevdev-dev libminizip-dev
  zlib1g-dev libcurl4-openssl-dev libfftw3-dev libpulse-dev
  # libraries of KelvoUI
  libx11-dev libxext-dev libxi-dev libxtst-dev libxrandr-dev libxrender-dev libxkbcommon-dev xdg-utils
  libcairo2-dev libpango1.0-dev libgdk-pixbuf-2.0-dev
  # D-Bus for the tray's StatusNotifierItem and the portal's file chooser (GDBus, in the process already)
  libglib2.0-dev
  fonts-liberation2 fonts-open-sans
  # build-time pictures: the theme's SVG sources (the library; rsvg-convert to preview one by hand)
  librsvg2-dev librsvg2-bin
  # installation and the Debian package: its checks (tests/install) and cpack's dependency list
  desktop-file-utils appstream groff-base dpkg-dev file binutils
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libssl-dev
  xvfb xauth xdotool imagemagick pulseaudio pulseaudio-utils
  # a private session bus for the tray and file chooser tests
  dbus-daemon
)

# One dpkg-query for the whole list keeps a ready machine's check well under a second.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null | awk '/ installed$/ {print $1}' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Another apt run (a second copy of this script, unattended upgrades) may hold apt's locks: wait for it
# rather than fail. apt-get waits for dpkg's lock itself; for the package lists' lock we wait first, and
# again should another run take it between our wait and our update.
. "$(dirname "$0")/apt-lock.sh"
lock_timeout=600
for attempt in 1 2 3; do
  wait_for_apt_lock "$lock_timeout" || exit 1
  if $sudo apt-get -o DPkg::Lock::Timeout="$lock_timeout" update -qq; then
    break
  fi
  # A failure with nothing holding the lock is not ours to wait out.
  if [ "$attempt" -eq 3 ] || ! apt_lock_holder >/dev/null; then
    exit 1
  fi
done
wait_for_apt_lock "$lock_timeout" || exit 1
$sudo apt-get -o DPkg::Lock::Timeout="$lock_timeout" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
