#!/usr/bin/env bash
# Installs the build into a temporary root with DESTDIR, checks the file list
# and lets the desktop-entry and AppStream validators judge what was installed.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

expected="usr/bin/orti415
usr/bin/orti415-cli
usr/bin/orti415-sim
usr/share/applications/org.example.orti415.desktop
usr/share/doc/orti415/README.md
usr/share/doc/orti415/changelog.gz
usr/share/doc/orti415/copyright
usr/share/doc/orti415/examples/60-orti415.rules
usr/share/icons/hicolor/128x128/apps/org.example.orti415.png
usr/share/icons/hicolor/16x16/apps/org.example.orti415.png
usr/share/icons/hicolor/24x24/apps/org.example.orti415.png
usr/share/icons/hicolor/256x256/apps/org.example.orti415.png
usr/share/icons/hicolor/32x32/apps/org.example.orti415.png
usr/share/icons/hicolor/48x48/apps/org.example.orti415.png
usr/share/icons/hicolor/64x64/apps/org.example.orti415.png
usr/share/icons/hicolor/scalable/apps/org.example.orti415.svg
usr/share/man/man1/orti415-cli.1.gz
usr/share/man/man1/orti415-sim.1.gz
usr/share/man/man1/orti415.1.gz
usr/share/metainfo/org.example.orti415.metainfo.xml"
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$(echo "$expected" | LC_ALL=C sort)" ]; then
  echo "installed files differ from the expected list:"
  diff <(echo "$expected" | LC_ALL=C sort) <(echo "$actual") || true
  exit 1
fi

desktop-file-validate "$root/usr/share/applications/org.example.orti415.desktop"
grep -qx 'Name=Orti-415' "$root/usr/share/applications/org.example.orti415.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.orti415.metainfo.xml"

# The man pages are readable troff.
for page in "$root"/usr/share/man/man1/*.1.gz; do
  zcat "$page" | grep -q '^\.TH ' || { echo "$page: no .TH"; exit 1; }
done
# The installed programs run and name their version.
for program in orti415 orti415-cli orti415-sim; do
  "$root/usr/bin/$program" --version | grep -q "^$program [0-9]" || { echo "$program --version"; exit 1; }
done
echo "install: $(echo "$actual" | wc -l) files, validators passed"
