#!/usr/bin/env bash
# The editor's own program, started as a user starts it: what it answers to
# --version and --help before any window, how it refuses a wrong option, and
# that a plain start opens the window and keeps it open.
set -uo pipefail
export PATH=$(dirname "$1"):$PATH QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.*=false'
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
  XDG_RUNTIME_DIR=$home LANG=C.UTF-8 LANGUAGE= LC_ALL=
failed=0

# expect STATUS STDOUT STDERR ARGS...: the whole output, not a part of it.
expect() {
  local status=$1 out=$2 err=$3
  shift 3
  local got_out got_err got_status
  got_out=$(padkbd-editor "$@" 2>"$home/err")
  got_status=$?
  got_err=$(cat "$home/err")
  if [ "$got_status" != "$status" ] || [ "$got_out" != "$out" ] || [ "$got_err" != "$err" ]; then
    printf 'padkbd-editor %s: status %s, out:\n%s\nerr:\n%s\n' "$*" "$got_status" "$got_out" "$got_err"
    failed=1
  fi
}

version="padkbd-editor $2"
expect 0 "$version" "" --version
expect 0 "$version" "" --simulate -v
help=$("$1" --help)  # started by its path, it still calls itself by its name
[ "$(head -n 1 <<<"$help")" = "Usage: padkbd-editor [options]" ] || { echo "$help"; failed=1; }
# The keyboard's options, as the tool takes them.
for option in --simulate "--lang <language>" "--midi-api <API>" "--device <VID:PID>" \
  "--manufacturer <M1M2M3>" "--port <NAME>"; do
  grep -qe "^  $option " <<<"$help" || { echo "--help lacks $option"; failed=1; }
done
# A language is taken quietly, or refused with the ones there are.
[ "$(padkbd-editor --lang=zh_CN -h 2>&1 | head -n 1)" = "用法：padkbd-editor [选项]" ] || failed=1
expect 0 "$help" 'padkbd-editor: no translation for "xx" (there are: en, zh_CN)' --lang xx --help
# An option in the way stops the start before the window, whatever came first.
expect 2 "" 'padkbd-editor: --midi-api takes alsa or jack, not "nope"' --simulate --midi-api nope
expect 1 "" "padkbd-editor: Unknown option 'nope'." --nope --simulate
expect 2 "" 'padkbd-editor: --midi-api takes alsa or jack, not "midi"' --midi-api=midi
expect 2 "" 'padkbd-editor: --device takes a USB id VID:PID in hexadecimal (like 1209:0001), not "12"' --device 12
expect 2 "" "padkbd-editor: --simulate=STATEFILE needs a file name" --simulate=

# The desktop's language, unless --lang says otherwise.
for case in "zh_CN.UTF-8|用法：padkbd-editor [选项]" "de_DE.UTF-8|Usage: padkbd-editor [options]"; do
  [ "$(LANG=${case%%|*} padkbd-editor -h | head -n 1)" = "${case#*|}" ] || { echo "LANG=$case"; failed=1; }
done
[ "$(LANG=zh_CN.UTF-8 padkbd-editor --lang en -h | head -n 1)" = "Usage: padkbd-editor [options]" ] ||
  failed=1

# With nothing in the way the window opens and stays until it is closed,
# quietly: what it has to say goes to its log.
timeout 3 padkbd-editor --simulate --midi-api jack >"$home/out" 2>"$home/err"
[ $? = 124 ] || { echo "padkbd-editor --simulate did not keep its window open"; failed=1; }
[ ! -s "$home/out" ] && [ ! -s "$home/err" ] || { echo "a plain start wrote:"; cat "$home/out" "$home/err"; failed=1; }
log=$home/state/padkbd/editor.log
grep -q " padkbd-editor $2 started$" "$log" && grep -q " handshake yes$" "$log" &&
  ! grep -q "bulk endpoint" "$log" && [ "$(stat -c %s "$log")" -le 16384 ] ||
  { echo "the log lacks the start or the read, or is not brief:"; cat "$log"; failed=1; }
# The detailed log, as Help → Detailed log leaves it for the next start: every transfer too.
mkdir -p "$home/config/padkbd" && printf '[editor]\ndetailed_log = true\n' >"$home/config/padkbd/settings.toml"
rm "$log"
timeout 3 padkbd-editor --simulate >/dev/null 2>&1
grep -q " Wrote 15 bytes to bulk endpoint$" "$log" || { echo "the detailed log lacks the transfers"; failed=1; }
rm "$home/config/padkbd/settings.toml"
timeout 3 padkbd-editor --simulate --verbose >"$home/out" 2>"$home/err"
grep -q "^readversion " "$home/err" && grep -q "^Wrote 15 bytes to bulk endpoint$" "$home/out" ||
  { echo "--verbose did not show the diagnostics"; failed=1; }
exit $failed
