#!/usr/bin/env bash
# Builds the Debian package from the build folder given, unpacks it into a
# temporary root and runs the unpacked batch program: its folders, and a build
# of the packaged sample project.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb="$tmp/pkg/korvane3d_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$tmp/pkg")"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6opengl6 libusb-1.0-0 libjpeg62-turbo libpugixml1v5 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
lib=$(dirname "$(readlink -f "$root/usr/bin/korvane3d-cli")")
[ "${lib#"$root"/usr/lib}" != "$lib" ] || fail "korvane3d-cli does not lead into usr/lib: $lib"
for f in usr/bin/korvane3d usr/bin/korvane3d-sim usr/share/applications/korvane3d.desktop \
         usr/share/icons/hicolor/scalable/apps/korvane3d.svg; do
  [ -e "$root/$f" ] || fail "missing $f"
done
for f in korvane3d korvane3d-cli korvane3d-sim Samples/Relief.prj Samples/Sample.prj Help/Korvane_QTV_manual_US.pdf; do
  [ -e "$lib/$f" ] || fail "missing $f beside the programs"
done
languages=$(ls "$lib/Language"/*.xml | wc -l)
[ "$languages" -eq 9 ] || fail "$languages language files, 9 expected"
manuals=$(ls "$lib/Help"/Korvane_QTV_manual_*.pdf | wc -l)
[ "$manuals" -eq 9 ] || fail "$manuals manuals, 9 expected"

data="$tmp/data"
info=$("$root/usr/bin/korvane3d-cli" "dataDir=$data" info --json)
grep -q "\"$lib\"" <<<"$info" || fail "info does not name the unpacked program folder $lib: $info"
"$root/usr/bin/korvane3d-cli" "dataDir=$data" generate --project "$lib/Samples/Relief.prj" --json >"$tmp/generate.json" ||
  { cat "$tmp/generate.json"; fail "generate of the packaged sample failed"; }
out=$(ls "$data"/Output/Relief/*.out | wc -l)
[ "$out" -ge 1 ] || fail "the packaged sample made no output file"
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB), $languages languages, $out output file(s)"
