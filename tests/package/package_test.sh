#!/usr/bin/env bash
# Builds the Debian package from a build folder (no root needed) and checks what it holds: the
# programs, the desktop entry with its icon, the man pages and the user guide, nothing of the
# tests, and the run-time dependencies.
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

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in \
  ./usr/bin/petrel-cps ./usr/bin/petrel-cli ./usr/bin/petrel-radio-sim \
  ./usr/share/applications/petrel-cps.desktop \
  ./usr/share/icons/hicolor/scalable/apps/petrel-cps.svg \
  ./usr/share/icons/hicolor/16x16/apps/petrel-cps.png \
  ./usr/share/icons/hicolor/48x48/apps/petrel-cps.png \
  ./usr/share/icons/hicolor/256x256/apps/petrel-cps.png \
  ./usr/share/man/man1/petrel-cli.1.gz ./usr/share/man/man1/petrel-radio-sim.1.gz \
  ./usr/share/doc/petrel-cps/README.md ./usr/share/doc/petrel-cps/docs/main-window.png; do
  grep -qxF "$path" <<<"$files" || problem "missing: $path"
done
extra=$(grep '^\./usr/bin/.' <<<"$files" | grep -vxE '\./usr/bin/petrel-(cps|cli|radio-sim)' || true)
[ -z "$extra" ] || problem "not for users: $extra"
grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$' && problem "outside /usr: $(grep -v '^\./usr/' <<<"$files")"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins; do
  grep -qxF "$package" <<<"$names" || problem "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || problem "not amd64"

entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/applications/petrel-cps.desktop)
grep -qx 'Exec=/usr/bin/petrel-cps %F' <<<"$entry" || problem "desktop Exec: $(grep Exec <<<"$entry")"
grep -qx 'Icon=petrel-cps' <<<"$entry" || problem "desktop entry without the icon"

[ $failed -eq 0 ] && echo "$(basename "$deb"): contents and dependencies as expected"
exit $failed
