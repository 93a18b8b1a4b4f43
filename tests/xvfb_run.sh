#!/usr/bin/env bash
# Runs a command on a virtual X server of its own. Xvfb picks a free display
# number itself (-displayfd), so runs started at the same moment (other
# tests, other builds) cannot race for one as xvfb-run -a does.
# usage: xvfb_run.sh COMMAND ARGS...
set -u
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
for i in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
if [ ! -s "$dir/display" ]; then
  cat "$dir/log" >&2
  kill "$server" 2>/dev/null
  rm -rf "$dir"
  echo "xvfb_run.sh: the X server did not start" >&2
  exit 125
fi
export DISPLAY=:$(head -n 1 "$dir/display")
# Under the sanitizers, a window's run ends with what the desktop's libraries
# (SDL2's D-Bus and X11 plug-ins) keep for the life of the process; they are
# unloaded by then, so no suppression can name them. Headless runs of the
# same engine code keep the leak check.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
# Wait until the server takes clients (-noreset: it stays up when the last
# client leaves, instead of refusing connections while it resets).
for i in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit $status
