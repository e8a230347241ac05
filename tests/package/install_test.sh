#!/usr/bin/env bash
# Installs the build into a private DESTDIR and uses what was installed as a
# user would, without any help from the environment: the programs find their
# presets, the menu entry and the AppStream entry validate, and every command
# and option of padkbd has its completion.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
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

completion=$stage/usr/share/bash-completion/completions/padkbd
bash -n "$completion"
options() { sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n' | sed 's/=.*//'; }
commands=$(run "$padkbd" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
for word in $commands $(run "$padkbd" --help | options) \
  $(for c in $commands; do run "$padkbd" help "$c" | options; done); do
  grep -qe "[ \"]$word[ \"=)]" "$completion" || { echo "no completion for $word" >&2; exit 1; }
done
