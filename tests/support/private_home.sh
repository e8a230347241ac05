#!/bin/sh
# Runs one test program (the rest of the command line) with a home of its
# own: a fresh folder per run holds HOME, the XDG folders and the temporary
# folder, so that neither the test nor anything it starts reads or writes the
# files of whoever runs the suite; the folder goes when the program ends.
# Every CTest test runs through it (see the top-level CMakeLists.txt).
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/padkbd-test-home.XXXXXX") || exit 1
export HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data" \
  XDG_STATE_HOME="$dir/state" XDG_CACHE_HOME="$dir/cache" XDG_RUNTIME_DIR="$dir/runtime" \
  TMPDIR="$dir/tmp" PADKBD_PRIVATE_HOME="$dir"
# A new user's home: the XDG folders are left for the programs to make, as
# they must; the runtime folder is one a session would have given them; the
# temporary folder is open to every user, as /tmp is (a test may drop root).
chmod 755 "$dir" && mkdir "$HOME" && mkdir -m 1777 "$TMPDIR" && mkdir -m 700 "$XDG_RUNTIME_DIR" ||
  exit 1

"$@"
status=$?
rm -rf "$dir"
# A program that a signal ended is told as such to CTest, not as a status.
if [ "$status" -gt 128 ] && [ "$status" -lt 160 ]; then
  trap - "$((status - 128))"
  kill -"$((status - 128))" $$
fi
exit "$status"
