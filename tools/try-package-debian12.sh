#!/usr/bin/env bash
# Builds the Debian package and installs it on a fresh Debian 12 made with debootstrap in a folder, the
# way a user would (`apt install ./torvik_*.deb`, recommended packages included), then checks the
# installed program there and removes the package again. Run by hand, as root; it needs debootstrap and
# a few minutes. Not part of the suite.
#
#   tools/try-package-debian12.sh [--keep]
#
# The packages come from the mirror this machine's apt uses (or MIRROR=<address>). With --keep the
# Debian 12 folder (build-package/debian12) stays for a look; it is made anew on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
keep=0
[ "${1:-}" = --keep ] && keep=1

[ "$(id -u)" -eq 0 ] || { echo "run as root: debootstrap and chroot need it" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "needs debootstrap: apt-get install debootstrap" >&2; exit 1; }

# The mirror of this machine's own Debian sources (deb822 or one-line form).
mirror=${MIRROR:-}
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
    awk '/^URIs:/ {uri = $2} /^Suites:/ && / bookworm( |$)/ && uri != "" {print uri; exit}')
fi
if [ -z "$mirror" ]; then
  mirror=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
fi
[ -n "$mirror" ] || { echo "no bookworm mirror in /etc/apt; set MIRROR" >&2; exit 1; }

echo "== building the package (preset 'package': Release, prefix /usr)"
tools/setup-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
rm -rf build-package/deb
cpack -G DEB --config build-package/CPackConfig.cmake -B build-package/deb >/dev/null
deb=$(ls build-package/deb/*.deb)
echo "   $deb"
dpkg-deb -f "$deb" Package Version Depends Recommends | sed 's/^/   /'
version=$(dpkg-deb -f "$deb" Version)

root=$PWD/build-package/debian12
cleanup() {
  for m in dev/pts dev sys proc; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  [ "$keep" -eq 1 ] || rm -rf "$root"
}
trap cleanup EXIT
cleanup
rm -rf "$root"

echo "== debootstrap bookworm (minbase) into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >build-package/debootstrap.log 2>&1 ||
  { tail -n 30 build-package/debootstrap.log >&2; exit 1; }
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No services start inside the folder.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp "$deb" "$root/tmp/"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== apt install ./$(basename "$deb")"
in_root apt-get update -qq
before=$(in_root dpkg-query -W -f '${Package}\n' | wc -l)
in_root apt-get install -y -q "/tmp/$(basename "$deb")" >build-package/apt-install.log 2>&1 ||
  { tail -n 40 build-package/apt-install.log >&2; exit 1; }
after=$(in_root dpkg-query -W -f '${Package}\n' | wc -l)
echo "   installed with $((after - before - 1)) packages it needs"

echo "== checks on the installed system"
failures=0
check() {
  local what=$1; shift
  if "$@"; then echo "   ok: $what"; else echo "   FAILED: $what" >&2; failures=$((failures + 1)); fi
}
check "dpkg reports torvik $version installed" \
  test "$(in_root dpkg-query -W -f '${Status} ${Version}' torvik)" = "install ok installed $version"
check "every library of the program and of libKelvoUI resolves" \
  sh -c "! chroot '$root' ldd /usr/lib/torvik/Torvik /usr/lib/torvik/libKelvoUI.so.0 | grep -q 'not found'"
check "'torvik --version' prints $version" test "$(in_root torvik --version)" = "$version"
check "'torvik --help' names the command" sh -c "chroot '$root' /usr/bin/torvik --help | grep -q '^Usage: torvik '"
for f in /usr/lib/torvik/config.xml /usr/lib/torvik/skins/theme1/Torvik.ico /usr/lib/udev/rules.d/70-torvik.rules \
  /usr/lib/modules-load.d/torvik-uinput.conf /usr/lib/torvik/udev/70-torvik.rules \
  /usr/share/applications/example.corvid.Torvik.desktop /usr/share/metainfo/example.corvid.Torvik.metainfo.xml \
  /usr/share/icons/hicolor/48x48/apps/torvik.png /usr/share/man/man1/torvik.1.gz; do
  check "$f" test -f "$root$f"
done
check "Liberation Sans, the program's \"Arial\", is installed" \
  test -f "$root/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"

echo "== apt remove torvik"
in_root apt-get remove -y -q torvik >/dev/null
check "nothing of the program is left" test ! -e "$root/usr/lib/torvik" -a ! -e "$root/usr/bin/torvik"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "The package installs, runs and removes cleanly on a fresh Debian 12."
