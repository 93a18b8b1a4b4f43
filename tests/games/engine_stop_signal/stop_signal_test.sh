#!/usr/bin/env bash
# SIGTERM to a windowed run (on a virtual X server, tests/xvfb_run.sh) whose
# loop runs in a coroutine (SRC/script), and to one whose finalizer loops at
# shutdown (SRC/finalizer/script): the engine shuts down normally (status 0)
# within seconds.
# usage: stop_signal_test.sh LUNASHOT PALETTE SRC WORK
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
[ -d "$src/finalizer" ] && { bash "$0" "$lunashot" "$palette" "$src/finalizer" "$work.finalizer" || exit 1; }
rm -rf "$work" && mkdir -p "$work/sprite" && cp -r "$src/script" "$work/" && cp "$palette" "$work/sprite/pal.pal"
cat >"$work.sh" <<END
SDL_AUDIODRIVER=dummy "$lunashot" "$work" >"$work.stdout" 2>&1 &
pid=\$!
for i in \$(seq 50); do grep -q looping "$work.stdout" && break; sleep 0.1; done
grep -q looping "$work.stdout" || { kill -KILL \$pid; echo "FAIL: the game did not start" >&2; exit 1; }
sleep 0.5
kill -TERM \$pid
for i in \$(seq 50); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
if kill -0 \$pid 2>/dev/null; then kill -KILL \$pid; echo "FAIL: still running 5 s after SIGTERM" >&2; exit 1; fi
wait \$pid; status=\$?
[ \$status = 0 ] || { echo "FAIL: exit status \$status" >&2; exit 1; }
END
timeout 60 bash "$(dirname "$0")/../../xvfb_run.sh" bash "$work.sh"
