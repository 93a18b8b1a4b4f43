#!/usr/bin/env bash
# Watches the replay game.demo_play saved (its copy: PLAYED) through the replay
# menu; the frames between "play starts"/"play ends" lines must be the play's.
# usage: replay_test.sh LUNASHOT PLAYED WORK WATCH_INPUT
set -u
lunashot="$1" played="$2" work="$3" watch="$4"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$played.stdout" ] && [ -d "$played/frames" ] || fail "run game.demo_play first (no $played)"
rm -rf "$work"
mkdir -p "$work/game"
for d in script sprite sound replay; do cp -r "$played/$d" "$work/game/$d"; done
name=$(sed -n 's/^demo: saved replay \(.*\)$/\1/p' "$played.stdout")
[ -n "$name" ] && [ -f "$work/game/replay/$name" ] || fail "game.demo_play saved no replay"

"$lunashot" --headless --max-frames 6000 --input "$watch" --record-frames "$work/frames" "$work/game" \
  >"$work.stdout" 2>"$work.stderr"
status=$?
cat "$work.stdout" "$work.stderr"
[ "$status" = 0 ] || fail "exit status $status"
[ -s "$work.stderr" ] && fail "the replay run wrote to standard error"
grep -q "^demo: goodbye$" "$work.stdout" || fail "the replay run did not quit from the title"
grep -q "^demo: replay $name ended with score \([0-9]*\), recorded \1$" "$work.stdout" ||
  fail "$name did not end with its recorded score"

sums() {  # OUTPUT FRAMES: md5 of each play frame, one a line
  local first last i
  first=$(sed -n 's/^demo: play starts at frame \([0-9]*\)$/\1/p' "$1")
  last=$(sed -n 's/^demo: play ends at frame \([0-9]*\) .*/\1/p' "$1")
  [ -n "$first" ] && [ -n "$last" ] || fail "no play reported in $1"
  for ((i = first; i <= last; i++)); do printf '%s/%06d.png\n' "$2" "$i"; done | xargs md5sum | cut -d' ' -f1
}
sums "$played.stdout" "$played/frames" >"$work/play.md5"
sums "$work.stdout" "$work/frames" >"$work/replay.md5"
cmp "$work/play.md5" "$work/replay.md5" ||
  fail "the play's $(wc -l <"$work/play.md5") frames and the replay's $(wc -l <"$work/replay.md5") differ"
echo "the replay reproduced all $(wc -l <"$work/play.md5") frames of the play"
