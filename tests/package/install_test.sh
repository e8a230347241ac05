#!/usr/bin/env bash
# Installs the build into a private DESTDIR and uses what was installed as a
# user would, without any help from the environment: the programs find their
# presets and their MIDI-port module, the menu entry and the AppStream entry
# validate, and every command and option of padkbd has its completion.
set -euo pipefail
build=$1
stage=$(mktemp -d)
jackd=
trap '[ -z "$jackd" ] || kill "$jackd"; rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
run() { env -i PATH=/usr/bin:/bin HOME="$stage/home" "$@"; }
padkbd=$stage/usr/bin/padkbd

[ "$(run "$padkbd" default | run "$padkbd" check -)" = "-: ok" ]
desktop-file-validate "$stage/usr/share/applications/org.padkbd.PadkbdEditor.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/org.padkbd.PadkbdEditor.metainfo.xml"
for file in lib/udev/rules.d/70-padkbd.rules share/man/man1/padkbd.1.gz \
  share/man/man1/padkbd-editor.1.gz share/icons/hicolor/scalable/apps/org.padkbd.PadkbdEditor.svg \
  share/icons/hicolor/48x48/apps/org.padkbd.PadkbdEditor.png; do
  [ -s "$stage/usr/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
grep -q 'TAG+="uaccess"' "$stage/usr/lib/udev/rules.d/70-padkbd.rules"

# The MIDI ports, through the module beside the programs: a private JACK
# server's are listed; without the module, padkbd says why there are none.
module=$stage/usr/lib/padkbd/libpadkbd-midiport.so
[ -s "$module" ] || { echo "not installed: lib/padkbd/libpadkbd-midiport.so" >&2; exit 1; }
server=padkbd-install-$$
JACK_NO_AUDIO_RESERVATION=1 jackd -n "$server" -r -d dummy -r 48000 -p 64 >/dev/null 2>&1 &
jackd=$!
ports() { run JACK_DEFAULT_SERVER="$server" "$padkbd" devices --midi-api jack | grep '^MIDI ports'; }
for _ in $(seq 50); do
  listed=$(ports)
  [ "$listed" != "MIDI ports (Jack):" ] || break
  sleep 0.1
done
[ "$listed" = "MIDI ports (Jack):" ] || { echo "padkbd devices: $listed" >&2; exit 1; }
mv "$module" "$stage/aside.so"
expected="MIDI ports: cannot be listed (the MIDI port support (libpadkbd-midiport.so) cannot be \
loaded: $module: cannot open shared object file: No such file or directory)"
[ "$(ports)" = "$expected" ] || { echo "padkbd devices without the module: $(ports)" >&2; exit 1; }
mv "$stage/aside.so" "$module"

completion=$stage/usr/share/bash-completion/completions/padkbd
bash -n "$completion"
options() { sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n' | sed 's/=.*//'; }
commands=$(run "$padkbd" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
for word in $commands $(run "$padkbd" --help | options) \
  $(for c in $commands; do run "$padkbd" help "$c" | options; done); do
  grep -qe "[ \"]$word[ \"=)]" "$completion" || { echo "no completion for $word" >&2; exit 1; }
done
