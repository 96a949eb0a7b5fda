#!/usr/bin/env bash
# Builds the Debian package from a build folder (no root needed) and checks it: the programs,
# the desktop entry with its icon and the AppStream metainfo of the same name, the man pages,
# the user guide with the copyright and the changelog, nothing of the tests, the run-time
# dependencies, and that the programs, the changelog and the metainfo name the package's
# version and the copyright's licence. Then Debian's own tools judge it: lintian the package,
# appstreamcli the metainfo, desktop-file-validate the desktop entry. An error or a warning of
# any of them fails the test; lintian's informational tags are listed.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; exit 1; }
debs=("$out"/petrel-cps_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no petrel-cps_<version>_amd64.deb made"; exit 1; }
failed=0
problem() { echo "$*"; failed=1; }
version=$(dpkg-deb -f "$deb" Version)
root=$out/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/petrel-cps

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
# The desktop entry and the metainfo share the program's reverse-DNS id.
metainfos=$(grep '^\./usr/share/metainfo/.' <<<"$files" || true)
[ "$(wc -l <<<"$metainfos")" -eq 1 ] || problem "not one AppStream metainfo file: $metainfos"
id=$(basename "$(head -n1 <<<"$metainfos")" .metainfo.xml)
[[ $id =~ ^[a-z][a-z0-9_]*(\.[a-z][a-z0-9_]*){2,}$ ]] || problem "not a reverse-DNS id: $id"
entry_path=./usr/share/applications/$id.desktop
for path in \
  ./usr/bin/petrel-cps ./usr/bin/petrel-cli ./usr/bin/petrel-radio-sim \
  "$entry_path" \
  ./usr/share/icons/hicolor/scalable/apps/petrel-cps.svg \
  ./usr/share/icons/hicolor/16x16/apps/petrel-cps.png \
  ./usr/share/icons/hicolor/48x48/apps/petrel-cps.png \
  ./usr/share/icons/hicolor/256x256/apps/petrel-cps.png \
  ./usr/share/man/man1/petrel-cps.1.gz \
  ./usr/share/man/man1/petrel-cli.1.gz ./usr/share/man/man1/petrel-radio-sim.1.gz \
  ./usr/share/doc/petrel-cps/copyright ./usr/share/doc/petrel-cps/changelog.gz \
  ./usr/share/doc/petrel-cps/README.md ./usr/share/doc/petrel-cps/docs/main-window.png \
  ./usr/share/doc/petrel-cps/docs/user-guide.md; do
  grep -qxF "$path" <<<"$files" || problem "missing: $path"
done
extra=$(grep '^\./usr/bin/.' <<<"$files" | grep -vxE '\./usr/bin/petrel-(cps|cli|radio-sim)' || true)
[ -z "$extra" ] || problem "not for users: $extra"
grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$' && problem "outside /usr: $(grep -v '^\./usr/' <<<"$files")"
other_entries=$(grep '^\./usr/share/applications/.' <<<"$files" | grep -vxF "$entry_path" || true)
[ -z "$other_entries" ] || problem "desktop entries not named by the id $id: $other_entries"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for package in libc6 libstdc++6 libsqlite3-0 libqt6core6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins; do
  grep -qxF "$package" <<<"$names" || problem "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || problem "not amd64"

entry=$root/${entry_path#./}
if [ -f "$entry" ]; then
  grep -qx 'Exec=/usr/bin/petrel-cps %F' "$entry" || problem "desktop Exec: $(grep Exec "$entry")"
  grep -qx 'Icon=petrel-cps' "$entry" || problem "desktop entry without the icon"
  # The program names its windows' desktop entry by the same id.
  grep -aqF "$id" "$root/usr/bin/petrel-cps" || problem "petrel-cps does not name the entry $id"
fi

# The licence: GPL 3 or later in the copyright file, and in each program's --version under
# the package's version. petrel-cps answers without a display.
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$doc/copyright" || problem "copyright: not in the machine-readable format"
grep -qx 'License: GPL-3+' "$doc/copyright" || problem "copyright: no GPL-3+ licence"
licence='License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>'
for program in petrel-cps petrel-cli petrel-radio-sim; do
  said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$root/usr/bin/$program" --version 2>&1) || problem "$program --version failed: $said"
  [ "$said" = "$program $version"$'\n'"$licence" ] ||
    problem "$program --version says: $said"
done

# The newest release of the changelog, of the metainfo and of the man pages is the package's.
for page in petrel-cps petrel-cli petrel-radio-sim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" >"$out/$page.1" 2>/dev/null || true
  grep -q "^\.TH .* \"Petrel CPS $version\"" "$out/$page.1" ||
    problem "man page $page is not of Petrel CPS $version"
done
zcat "$doc/changelog.gz" >"$out/changelog" 2>/dev/null || true
changed=$(dpkg-parsechangelog -l "$out/changelog" -S Version 2>&1) || true
[ "$changed" = "$version" ] || problem "changelog's newest release $changed, package $version"
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
named=$(grep -o -m1 '<id>[^<]*</id>' "$metainfo" | sed 's/<[^>]*>//g' || true)
[ "$named" = "$id" ] || problem "metainfo file $id.metainfo.xml holds the component $named"
released=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2 || true)
[ "$released" = "$version" ] || problem "metainfo's newest release $released, package $version"

# Debian's own tools: an error or a warning fails. judge LOG PATTERN COMMAND... runs a tool
# into LOG and names its lines that match PATTERN, its errors and warnings (or all it said, when
# it failed without any).
judge() {
  local log=$1 pattern=$2
  shift 2
  local status=0 said
  "$@" >"$log" 2>&1 || status=$?
  said=$(grep -E "$pattern" "$log" || true)
  if [ -n "$said" ]; then
    problem "$1: $said"
  elif [ $status -ne 0 ]; then
    problem "$1 failed ($status): $(cat "$log")"
  fi
}
judge "$out/lintian.log" '^[EW]: ' \
  lintian --allow-root --display-info --fail-on error,warning "$deb"
judge "$out/appstream.log" '^ *[EW]: ' appstreamcli validate --no-net --pedantic "$metainfo"
# The metainfo together with the desktop entry and the icons it refers to.
judge "$out/tree.log" '^ *[EW]: ' appstreamcli validate-tree --no-net "$root"
judge "$out/desktop.log" ': (error|warning): ' desktop-file-validate "$entry"

if [ $failed -eq 0 ]; then
  echo "$(basename "$deb"): contents, versions and licence as expected; lintian,"
  echo "appstreamcli and desktop-file-validate report no error or warning"
  grep -E '^[IPXN]: ' "$out/lintian.log" "$out/appstream.log" || true
fi
exit $failed
