#!/usr/bin/env bash
# Builds the Debian package of the build and checks that it holds what `cmake --install` lays out, under
# the version the program reports, with its library dependencies found.
# Usage: package_test.sh <cmake> <cpack> <build dir>
set -uo pipefail
cmake=$1 cpack=$2 build=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack -G DEB" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: packages made: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = torvik ] || fail "package name '$(field Package)'"
version=$(env -u TORVIK_APP_FOLDER "$build/bin/Torvik" --version)
[ "$(field Version)" = "$version" ] || fail "package version '$(field Version)', the program reports '$version'"
[ "$(basename "$deb")" = "torvik_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"
depends=$(field Depends)
for needed in 'libc6 (' 'libcairo2 (' fonts-liberation2; do
  grep -qF "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# The private library travels in the package; nothing may ask the archive for it.
! grep -qi kelvo <<<"$depends" || fail "Depends names the package's own library: $depends"
# The postinst applies the rules to what is connected: the keyboards' hidraw and input event nodes,
# and uinput's misc device, which it loads first.
postinst=$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./postinst 2>/dev/null) || fail "no postinst"
trigger=$(grep 'udevadm trigger' <<<"$postinst")
for subsystem in hidraw input misc; do
  grep -q -- "--subsystem-match=$subsystem\b" <<<"$trigger" || fail "the postinst does not trigger $subsystem: $trigger"
done
grep -q 'modprobe uinput' <<<"$postinst" || fail "the postinst does not load uinput"

# The same files as an install into a folder.
DESTDIR=$work/stage "$cmake" --install "$build" >/dev/null || fail "cmake --install"
in_package=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|' | sort)
installed=$(cd "$work/stage" && find . ! -type d | sed 's|^\.||' | sort)
for file in lib/udev/rules.d/70-torvik.rules lib/modules-load.d/torvik-uinput.conf; do
  grep -q "/$file\$" <<<"$in_package" || fail "the package holds no $file"
done
if [ "$in_package" != "$installed" ]; then
  fail "package and install differ:"
  diff <(echo "$installed") <(echo "$in_package") >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb"): all checks passed"
