#!/usr/bin/env bash
# Records a play of the demo and watches its replay, headless, in one game
# folder; the frames of the play and of the replay must be identical.
# usage: replay_test.sh LUNASHOT GAME_DIR WORK_DIR PLAY_INPUT WATCH_INPUT
# The game prints "demo: play starts at frame N" and "demo: play ends at
# frame M ..." (frames counted by its Present calls, which is how
# --record-frames numbers them); those lines line the two runs up.
set -u
lunashot="$1" game="$2" work="$3" play="$4" watch="$5"
rm -rf "$work"
mkdir -p "$work"
cp -r "$game" "$work/game"
mkdir -p "$work/game/replay"
fail() { echo "FAIL: $*" >&2; exit 1; }

run() {  # run NAME INPUT: a headless run recording its frames in WORK/NAME
  "$lunashot" --headless --max-frames 6000 --input "$2" --record-frames "$work/$1" "$work/game" \
    >"$work/$1.stdout" 2>"$work/$1.stderr"
  local status=$?
  cat "$work/$1.stdout"
  cat "$work/$1.stderr" >&2
  [ "$status" = 0 ] || fail "$1 run: exit status $status"
  [ -s "$work/$1.stderr" ] && fail "$1 run: wrote to standard error"
  grep -q "^demo: goodbye$" "$work/$1.stdout" || fail "$1 run: did not quit from the title"
}

# The first and last frame of the play of a run.
span() {
  local first last
  first=$(sed -n 's/^demo: play starts at frame \([0-9]*\)$/\1/p' "$work/$1.stdout")
  last=$(sed -n 's/^demo: play ends at frame \([0-9]*\) .*/\1/p' "$work/$1.stdout")
  [ -n "$first" ] && [ -n "$last" ] || fail "$1 run: no play reported"
  echo "$first $last"
}

run record "$play"
name=$(sed -n 's/^demo: saved replay \(.*\)$/\1/p' "$work/record.stdout")
[ -n "$name" ] || fail "record run: no replay saved"
[ -f "$work/game/replay/$name" ] || fail "record run: replay/$name is missing"
run replay "$watch"
grep -q "^demo: replay $name ended with score \([0-9]*\), recorded \1$" "$work/replay.stdout" ||
  fail "replay run: $name did not end with its recorded score"

read -r a0 a1 < <(span record)
read -r b0 b1 < <(span replay)
[ $((a1 - a0)) = $((b1 - b0)) ] ||
  fail "the play lasted $((a1 - a0 + 1)) frames, its replay $((b1 - b0 + 1))"
sums() {  # sums DIR FIRST LAST: the md5 sum of each frame, one a line
  local i
  for ((i = $2; i <= $3; i++)); do printf '%s/%06d.png\n' "$1" "$i"; done | xargs md5sum | cut -d' ' -f1
}
sums "$work/record" "$a0" "$a1" >"$work/record.md5"
sums "$work/replay" "$b0" "$b1" >"$work/replay.md5"
if ! cmp -s "$work/record.md5" "$work/replay.md5"; then
  line=$(cmp "$work/record.md5" "$work/replay.md5" | sed -n 's/.* line \([0-9]*\).*/\1/p')
  fail "frame $((a0 + line - 1)) of the play and frame $((b0 + line - 1)) of the replay differ"
fi
echo "the replay reproduced all $((a1 - a0 + 1)) frames of the play"
