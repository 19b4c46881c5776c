#!/usr/bin/env bash
# `cpack -G DEB` builds a package that installs the programs and the desktop files under /usr and
# depends on the libraries they link and on what the application loads only at run time.
#   debian-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=jp.norla.office

work=$(mktemp -d -t norla-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "debian-package: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
deb=${debs[0]}
[ "$(basename "$deb")" = "norla-office_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "unexpected file name $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = norla-office ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for package in libwebkitgtk-6.0-4 libgtk-4-1 libavcodec libpulse0 libglib2.0-0 \
  gstreamer1.0-libav gstreamer1.0-pulseaudio fonts-ipafont-gothic; do
  [[ ", $depends" == *", $package"* ]] || fail "Depends lacks $package: $depends"
done

dpkg -x "$deb" "$work/root"
expected=(
  usr/bin/norla-office
  usr/bin/norla-rec
  usr/lib/norla-office/norla-recording.so
  usr/share/applications/$id.desktop
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/metainfo/$id.metainfo.xml
  usr/share/man/man1/norla-office.1
  usr/share/man/man1/norla-rec.1
)
actual=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
  fail "unexpected contents:"$'\n'"$actual"
"$work/root/usr/bin/norla-rec" --help >/dev/null || fail "the packaged norla-rec does not run"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
echo "debian-package: ok ($(basename "$deb"): $depends)"
