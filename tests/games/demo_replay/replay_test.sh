#!/usr/bin/env bash
# Watches the replay that game.demo_play saved, headless, and checks that its
# frames are those of the recorded play.
# usage: replay_test.sh LUNASHOT PLAYED WORK WATCH_INPUT
# PLAYED is game.demo_play's game folder after its run: its replay/, the
# frames it recorded (frames/) and, beside it, PLAYED.stdout. The game prints
# "demo: play starts at frame N" and "demo: play ends at frame M ..." (frames
# counted by its Present calls, which is how --record-frames numbers them);
# those lines line the two runs up.
set -u
lunashot="$1" played="$2" work="$3" watch="$4"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$played.stdout" ] && [ -d "$played/frames" ] || fail "run game.demo_play first (no $played)"

rm -rf "$work"
mkdir -p "$work/game"
for d in script sprite sound replay; do cp -r "$played/$d" "$work/game/$d"; done
name=$(sed -n 's/^demo: saved replay \(.*\)$/\1/p' "$played.stdout")
[ -n "$name" ] || fail "game.demo_play saved no replay"
[ -f "$work/game/replay/$name" ] || fail "replay/$name is missing"

"$lunashot" --headless --max-frames 6000 --input "$watch" --record-frames "$work/frames" "$work/game" \
  >"$work.stdout" 2>"$work.stderr"
status=$?
cat "$work.stdout"
cat "$work.stderr" >&2
[ "$status" = 0 ] || fail "exit status $status"
[ -s "$work.stderr" ] && fail "the replay run wrote to standard error"
grep -q "^demo: goodbye$" "$work.stdout" || fail "the replay run did not quit from the title"
grep -q "^demo: replay $name ended with score \([0-9]*\), recorded \1$" "$work.stdout" ||
  fail "$name did not end with its recorded score"

# The first and last frame of the play in a run's output.
span() {
  local first last
  first=$(sed -n 's/^demo: play starts at frame \([0-9]*\)$/\1/p' "$1")
  last=$(sed -n 's/^demo: play ends at frame \([0-9]*\) .*/\1/p' "$1")
  [ -n "$first" ] && [ -n "$last" ] || fail "no play reported in $1"
  echo "$first $last"
}
read -r a0 a1 < <(span "$played.stdout")
read -r b0 b1 < <(span "$work.stdout")
[ $((a1 - a0)) = $((b1 - b0)) ] ||
  fail "the play lasted $((a1 - a0 + 1)) frames, its replay $((b1 - b0 + 1))"

sums() {  # sums DIR FIRST LAST: the md5 sum of each frame, one a line
  local i
  for ((i = $2; i <= $3; i++)); do printf '%s/%06d.png\n' "$1" "$i"; done | xargs md5sum | cut -d' ' -f1
}
sums "$played/frames" "$a0" "$a1" >"$work/play.md5"
sums "$work/frames" "$b0" "$b1" >"$work/replay.md5"
if ! cmp -s "$work/play.md5" "$work/replay.md5"; then
  line=$(cmp "$work/play.md5" "$work/replay.md5" | sed -n 's/.* line \([0-9]*\).*/\1/p')
  fail "frame $((a0 + line - 1)) of the play and frame $((b0 + line - 1)) of the replay differ"
fi
echo "the replay reproduced all $((a1 - a0 + 1)) frames of the play"
