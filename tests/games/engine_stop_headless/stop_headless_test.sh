#!/usr/bin/env bash
# SIGTERM to a headless run stops it as closing a window does: a run in a
# frame loop (SRC/script) and one in a loop that never reaches a frame
# (SRC/busy/script) shut down within seconds, with status 143 (a run that did
# not finish), and the first one's --gif file is complete.
# usage: stop_headless_test.sh LUNASHOT PALETTE SRC WORK
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
fail=0
rm -rf "$work"
for game in frames busy; do
  dir="$work/$game" scripts="$src/script"
  [ $game = busy ] && scripts="$src/busy/script"
  mkdir -p "$dir/sprite" && cp -r "$scripts" "$dir/" && cp "$palette" "$dir/sprite/pal.pal"
  "$lunashot" --headless --gif "$dir/run.gif" "$dir" >"$dir.stdout" 2>&1 &
  pid=$!
  for i in $(seq 100); do grep -q looping "$dir.stdout" && break; sleep 0.1; done
  sleep 0.3
  kill -TERM $pid
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then
    kill -KILL $pid; echo "FAIL: $game: still running 5 s after SIGTERM" >&2; fail=1; continue
  fi
  wait $pid; status=$?
  [ $status = 143 ] || { echo "FAIL: $game: exit status $status" >&2; cat "$dir.stdout" >&2; fail=1; }
done
# The GIF ends with its trailer byte (0x3b) and holds frames.
gif="$work/frames/run.gif"
[ "$(head -c 6 "$gif" 2>/dev/null)" = GIF89a ] && [ "$(tail -c 1 "$gif" | od -An -tx1 | tr -d ' ')" = 3b ] &&
  [ "$(stat -c %s "$gif")" -gt 1000 ] || { echo "FAIL: the GIF is missing or cut short" >&2; fail=1; }
exit $fail
