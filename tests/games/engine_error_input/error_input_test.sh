#!/usr/bin/env bash
# Runs the game in a window on a virtual X server (tests/xvfb_run.sh) with --input and
# --max-frames 60; start.lua fails at frame 3, and no input ever presses a
# button. The run must end on its own (timeout's status 124 is a hang).
# usage: error_input_test.sh LUNASHOT PALETTE SRC WORK
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
rm -rf "$work" && mkdir -p "$work/sprite" && cp -r "$src/script" "$work/" && cp "$palette" "$work/sprite/pal.pal"
printf '0 -\n' >"$work.input"
SDL_AUDIODRIVER=dummy timeout 60 bash "$(dirname "$0")/../../xvfb_run.sh" "$lunashot" --max-frames 60 \
  --input "$work.input" "$work" >"$work.stdout" 2>"$work.stderr"
status=$?
cat "$work.stderr" >&2
[ "$status" = 0 ] || { echo "FAIL: exit status $status (124: still on the error screen)" >&2; exit 1; }
grep -q "fails at frame 3" "$work.stderr" || { echo "FAIL: the error was not reported" >&2; exit 1; }
