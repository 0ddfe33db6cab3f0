#!/usr/bin/env bash
# The Debian package's control data and file list, built with CPack from the
# tree already built (the whole of scripts/package, a fresh Release build,
# is too slow for every test run).
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/orti415_*.deb)
case "$(basename "$deb")" in
  orti415_[0-9]*_"$(dpkg --print-architecture)".deb) ;;
  *) echo "unexpected package name $deb"; exit 1 ;;
esac

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orti415 ] || { echo "Package: $(field Package)"; exit 1; }
depends=$(field Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 libc6 qt6-qpa-plugins qt6-translations-l10n; do
  echo "$depends" | grep -q "\b$needed\b" || { echo "Depends lacks $needed: $depends"; exit 1; }
done
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || { echo "Maintainer/Description"; exit 1; }

files=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in ./usr/bin/orti415 ./usr/bin/orti415-cli ./usr/bin/orti415-sim \
            ./usr/share/applications/org.example.orti415.desktop \
            ./usr/share/metainfo/org.example.orti415.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.example.orti415.svg \
            ./usr/share/icons/hicolor/48x48/apps/org.example.orti415.png \
            ./usr/share/man/man1/orti415.1.gz ./usr/share/doc/orti415/copyright \
            ./usr/share/doc/orti415/changelog.gz \
            ./usr/share/doc/orti415/examples/60-orti415.rules; do
  echo "$files" | grep -qx "$path" || { echo "package lacks $path"; exit 1; }
done
# The changelog's latest entry is this version.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/orti415/changelog.gz | zcat | head -n 1 |
  grep -q "^orti415 ($(field Version)) " || { echo "changelog.gz does not start with $(field Version)"; exit 1; }
echo "package: $(basename "$deb"), Depends: $depends"
