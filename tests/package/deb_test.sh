#!/usr/bin/env bash
# Builds the Debian package, looks into it, and runs the program unpacked
# from it, which finds its MIDI-port module; lintian must find no error.
set -euo pipefail
build=$1
version=$2
cd "$build"
rm -f padkbd_*.deb
cpack -G DEB >/dev/null
deb=$(ls padkbd_"$version"_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/padkbd usr/bin/padkbd-editor usr/lib/padkbd/libpadkbd-midiport.so \
  usr/share/padkbd/default.plist \
  usr/lib/udev/rules.d/70-padkbd.rules usr/share/applications/org.padkbd.PadkbdEditor.desktop \
  usr/share/doc/padkbd/copyright; do
  grep -q " \./$file\$" <<<"$contents" || { echo "not in the package: $file" >&2; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
[ "$(env -i PATH=/usr/bin:/bin "$unpacked/usr/bin/padkbd" --version)" = "padkbd $version" ]
# The ports are listed, or why the system has none is said: not a missing module.
ports=$(env -i PATH=/usr/bin:/bin HOME="$unpacked/home" "$unpacked/usr/bin/padkbd" devices |
  grep '^MIDI ports')
case $ports in
  *"cannot be loaded"* | "") echo "padkbd devices: $ports" >&2; exit 1 ;;
esac
lintian --fail-on error "$deb"
