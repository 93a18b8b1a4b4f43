#!/usr/bin/env bash
# SIGTERM stops, within seconds, a run whose game loop is inside a coroutine
# with every error swallowed (SRC/script), one whose finalizer loops at
# shutdown (SRC/finalizer/script) and one inside a pattern match that would
# take hours (SRC/stuck/script): in a window (this runs under
# tests/xvfb_run.sh) as a normal end, status 0; headless as a run that did not
# finish, status 143, after a clean shutdown that leaves its --gif complete.
# A run blocked where no stop is seen (SRC/blocked/script, in os.execute)
# outlives the first SIGTERM; a second one ends it at once, killed by it.
# usage: stop_signal_test.sh LUNASHOT PALETTE SRC WORK
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
fail=0
rm -rf "$work"
for run in window:script:0 window:finalizer/script:0 window:stuck/script:0 window:blocked/script:143:2 \
  headless:script:143 headless:finalizer/script:143 headless:stuck/script:143 headless:blocked/script:143:2; do
  IFS=: read -r mode scripts want signals <<<"$run"
  dir="$work/$mode-${scripts%%/*}" options=()
  mkdir -p "$dir/sprite" && cp -r "$src/$scripts" "$dir/" && cp "$palette" "$dir/sprite/pal.pal"
  [ "$mode" = headless ] && options=(--headless --gif "$dir/run.gif")
  SDL_AUDIODRIVER=dummy "$lunashot" "${options[@]}" "$dir" >"$dir.stdout" 2>&1 &
  pid=$!
  for i in $(seq 50); do grep -q looping "$dir.stdout" && break; sleep 0.1; done
  sleep 0.5
  kill -TERM $pid
  if [ "${signals:-1}" = 2 ]; then
    sleep 0.5
    kill -0 $pid 2>/dev/null || { echo "FAIL: $run: the first SIGTERM ended it" >&2; fail=1; }
    kill -TERM $pid
  fi
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && { kill -KILL $pid; echo "FAIL: $run: running 5 s after SIGTERM" >&2; }
  wait $pid
  status=$?
  [ $status = "$want" ] || { echo "FAIL: $run: exit status $status" >&2; fail=1; }
  [ -f "$dir/sleeper.pid" ] && kill "$(cat "$dir/sleeper.pid")" 2>/dev/null
done
# A whole GIF: its header, frames, and the trailer byte (0x3b).
gif="$work/headless-script/run.gif"
[ "$(head -c 6 "$gif" 2>/dev/null)" = GIF89a ] && [ "$(stat -c %s "$gif")" -gt 1000 ] &&
  [ "$(tail -c 1 "$gif" | od -An -tx1 | tr -d ' ')" = 3b ] || { echo "FAIL: the GIF is cut short" >&2; fail=1; }
exit $fail
