#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks it as a user's system would see it.
# Usage: install_test.sh <cmake> <build dir> <source dir> <install prefix>
set -uo pipefail
cmake=$1 build=$2 source=$3 prefix=$4

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage$prefix
app=$root/lib/torvik
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! DESTDIR=$stage "$cmake" --install "$build" >"$stage.log" 2>&1; then
  cat "$stage.log" >&2; rm -f "$stage.log"
  fail "cmake --install"; exit 1
fi
rm -f "$stage.log"

# The program's folder holds the program, its library and exactly the installation data: config.xml,
# layouts, languages, the rendered skin (not the theme's sources, not the examples' pictures) and the
# udev rules made from config.xml.
expected=$(
  { echo Torvik
    (cd "$build/lib" && ls libKelvoUI.so*)
    (cd "$source/data" && find . -type f ! -name CMakeLists.txt ! -path './skins/theme1-src/*' | sed 's|^\./||')
    echo udev/70-torvik.rules
    (cd "$build/bin" && find skins/theme1 \( -type f -o -type l \) ! -path 'skins/theme1/demo/*' \
      ! -path 'skins/theme1/gallery/*')
  } | sort)
actual=$(cd "$app" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
if [ "$expected" != "$actual" ]; then
  fail "the program's folder differs from the build's installation data:"
  diff <(echo "$expected") <(echo "$actual") >&2
fi
for picture in Torvik.ico main_bkg.png; do
  [ -f "$app/skins/theme1/$picture" ] || fail "skins/theme1/$picture missing"
done
[ -z "$(find "$app" -name '*.svg')" ] || fail "SVG sources installed in the program's folder"
executables=$(cd "$app" && find . -type f -perm /111 | sed 's|^\./||')
[ "$executables" = Torvik ] || fail "executable files: $executables"

# The command links into the folder, relatively, so the tree can move.
link=$(readlink "$root/bin/torvik") || fail "bin/torvik is not a link"
[ "${link#/}" = "$link" ] || fail "bin/torvik links absolutely: $link"
[ "$(readlink -f "$root/bin/torvik")" = "$(readlink -f "$app/Torvik")" ] || fail "bin/torvik -> $link"

# The library is found beside the executable, not in the build.
runpath=$(readelf -d "$app/Torvik" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p')
[ "$runpath" = '$ORIGIN' ] || fail "run path '$runpath', expected \$ORIGIN"
resolved=$(env -u LD_LIBRARY_PATH ldd "$app/Torvik" | sed -n 's/.*libKelvoUI[^ ]* => \([^ ]*\).*/\1/p')
[ "$(readlink -f "$resolved")" = "$(readlink -f "$app/libKelvoUI.so.0")" ] || fail "libKelvoUI resolves to '$resolved'"

# Nothing installed may reach back into the build: a build path in read-only data is one the
# installed program would open.
for binary in "$app/Torvik" "$app/libKelvoUI.so.0"; do
  ! readelf -p .rodata "$binary" 2>/dev/null | grep -qF "$build" ||
    fail "$(basename "$binary") holds a path into the build: $(readelf -p .rodata "$binary" | grep -F "$build" | head -n 1)"
done

# Started through the command, the program reads the installed data: a changed version shows.
version=$(env -u TORVIK_APP_FOLDER "$root/bin/torvik" --version) || fail "torvik --version failed"
[ "$version" = "$(env -u TORVIK_APP_FOLDER "$build/bin/Torvik" --version)" ] || fail "torvik --version printed '$version'"
sed -i 's/\(<software[^>]* version="\)[^"]*"/\19.8.7-installed"/' "$app/config.xml"
changed=$(env -u TORVIK_APP_FOLDER "$root/bin/torvik" --version)
[ "$changed" = 9.8.7-installed ] || fail "the installed program read '$changed', not its own config.xml"
# Its usage names the command as installed, as the manual page does.
usage=$(env -u TORVIK_APP_FOLDER "$root/bin/torvik" --help | head -n 1)
[ "$usage" = "Usage: torvik [option]..." ] || fail "torvik --help begins '$usage'"

# Desktop entry and metainfo validate, and name what is installed.
desktop=$(find "$root/share/applications" -name '*.desktop')
[ "$(echo "$desktop" | wc -l)" = 1 ] && [ -n "$desktop" ] || fail "desktop entries: $desktop"
# It exits 0 on warnings; a warning fails here too.
out=$(desktop-file-validate "$desktop" 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate $desktop: $out"
exec_command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/bin/$exec_command" ] || fail "the desktop entry runs '$exec_command', not installed in bin/"
icon=$(sed -n 's/^Icon=//p' "$desktop")
icons=$(cd "$build/bin/icons" && find hicolor -type f | sort)
[ -n "$icons" ] && [ "$icons" = "$(cd "$root/share/icons" && find hicolor -type f | sort)" ] ||
  fail "installed icons differ from the build's"
for size in 16x16 32x32 48x48 scalable; do
  ls "$root/share/icons/hicolor/$size/apps/$icon".* >/dev/null 2>&1 || fail "no $size icon named '$icon'"
done
metainfo=$(find "$root/share/metainfo" -name '*.metainfo.xml')
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate --no-net $metainfo: $out"
launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' "$metainfo")
[ "$launchable" = "$(basename "$desktop")" ] || fail "metainfo launches '$launchable'"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$release" = "$version" ] || fail "newest release in the metainfo is '$release', the program is '$version'"

# The manual page renders without warnings and names the files where they are installed.
page=$root/share/man/man1/torvik.1.gz
if [ -f "$page" ]; then
  warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff warnings in torvik.1: $warnings"
  source_text=$(zcat "$page" | sed 's/\\%//g; s/\\-/-/g; s/\\f[BIRP]//g')
  for path in "$prefix/lib/torvik/config.xml" "$prefix/lib/udev/rules.d/70-torvik.rules" "$prefix/bin/torvik" \
    "$prefix/lib/torvik/udev/70-torvik.rules" "$prefix/lib/modules-load.d/torvik-uinput.conf"; do
    [ -e "$stage$path" ] || fail "$path is not installed"
    grep -qF "$path" <<<"$source_text" || fail "the manual page does not name $path"
  done
else
  fail "no manual page at $page"
fi

# One rules file grants what the program opens: the keyboards' hidraw and input event nodes, and uinput
# (their content is checked by the generator's tests). The program offers the copy in its folder when
# the software keys find no access: it is the same file.
rules=$root/lib/udev/rules.d/70-torvik.rules
for grant in '^SUBSYSTEM=="hidraw", .*TAG+="uaccess"' '^SUBSYSTEM=="input", KERNEL=="event\*", .*TAG+="uaccess"' \
  '^KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess"'; do
  grep -q "$grant" "$rules" 2>/dev/null || fail "$rules has no line matching $grant"
done
cmp -s "$rules" "$app/udev/70-torvik.rules" || fail "the program's folder holds other udev rules than $rules"
# uinput loads at boot.
modules=$(grep -v '^#' "$root/lib/modules-load.d/torvik-uinput.conf" 2>/dev/null | grep -v '^$')
[ "$modules" = uinput ] || fail "modules-load.d/torvik-uinput.conf loads '$modules'"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed layout, program, desktop files, manual page, udev rules and uinput: all checks passed"
