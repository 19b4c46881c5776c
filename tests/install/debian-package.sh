#!/usr/bin/env bash
# `cpack -G DEB` makes a package a desktop accepts: named for this version, depending on the libraries the
# programs link and on what the application loads only at run time, and installing the programs, the
# recording module where the application looks for it, a valid desktop entry whose icon, program and
# window class are the installed ones, valid AppStream metadata of this version, and manual pages that
# render cleanly. The package is made from the same install rules as `cmake --install`.
#   debian-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=jp.norla.office
arch=$(dpkg --print-architecture)

work=$(mktemp -d -t norla-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "debian-package: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$work/out/norla-office_${version}_$arch.deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/out")"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Architecture)" = "norla-office $version $arch" ] ||
  fail "the package is $(field Package) $(field Version) $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for package in libwebkitgtk-6.0-4 libgtk-4-1 libavcodec libpulse0 libglib2.0-0 \
  gstreamer1.0-libav gstreamer1.0-pulseaudio fonts-ipafont-gothic; do
  [[ ", $depends" == *", $package"* ]] || fail "Depends lacks $package: $depends"
done

dpkg -x "$deb" "$work/root"
prefix=$work/root/usr
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
for file in "$desktop" "$metainfo" "$prefix/share/icons/hicolor/scalable/apps/$id.svg"; do
  [ -f "$file" ] || fail "${file#"$prefix"/} is not installed"
done
# The application finds the module from where it is installed, without the build tree.
module=$(strings "$prefix/bin/norla-office" | grep -m1 '^\.\./.*norla-recording\.so$' || true)
[ -n "$module" ] && [ -f "$prefix/bin/$module" ] || fail "norla-office looks for the module at '$module', where none is"

desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null || appstreamcli validate --no-net "$metainfo"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon) $(entry StartupWMClass)" = "$id $id" ] || fail "the desktop entry's icon or window class is not $id"
[ -x "$prefix/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "the desktop entry starts a program not installed"
grep -q "^Name\[ja\]=" "$desktop" || fail "the desktop entry has no Japanese name"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metadata launches no $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"

# Both programs explain themselves without a display or a sound server, and so do their manual pages.
for program in norla-office norla-rec; do
  "$prefix/bin/$program" --help | grep -q "^usage: $program" || fail "$program --help"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$program.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $program: $warnings"
done
echo "debian-package: ok ($(basename "$deb"): $depends)"
