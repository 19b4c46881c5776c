#!/usr/bin/env bash
# `cmake --install` into a temporary prefix gives a tree a desktop accepts: the programs, a valid desktop
# entry whose icon, program and window class are the installed ones, valid AppStream metadata of this
# version, and manual pages that render cleanly.
#   install-tree.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=jp.norla.office

root=$(mktemp -d -t norla-install.XXXXXX)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install-tree: $*" >&2; exit 1; }

for program in norla-office norla-rec; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
module=$(find "$prefix" -name norla-recording.so)
[ -n "$module" ] || fail "the recording module is not installed"
# The application finds the module from where it is installed, without the build tree.
[ -f "$(dirname "$prefix/bin/norla-office")/$(strings "$prefix/bin/norla-office" | grep -m1 '^\.\./.*norla-recording\.so$')" ] ||
  fail "norla-office does not look for the module where it is installed"
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
for file in "$desktop" "$metainfo" "$prefix/share/icons/hicolor/scalable/apps/$id.svg" \
  "$prefix/share/man/man1/norla-office.1" "$prefix/share/man/man1/norla-rec.1"; do
  [ -f "$file" ] || fail "${file#"$prefix"/} is not installed"
done

desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null || appstreamcli validate --no-net "$metainfo"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon)" = "$id" ] || fail "the desktop entry's icon is not $id"
[ "$(entry StartupWMClass)" = "$id" ] || fail "the desktop entry's window class is not $id"
exec_program=$(entry Exec | cut -d' ' -f1)
[ -x "$prefix/bin/$exec_program" ] || fail "the desktop entry starts $exec_program, which is not installed"
grep -q "^Name\[ja\]=" "$desktop" || fail "the desktop entry has no Japanese name"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"

# Both programs explain themselves without a display or a sound server.
"$prefix/bin/norla-office" --help | grep -q '^usage: norla-office' || fail "norla-office --help"
"$prefix/bin/norla-rec" --help | grep -q '^usage: norla-rec' || fail "norla-rec --help"
for page in norla-office norla-rec; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
echo "install-tree: ok"
