#!/usr/bin/env bash
# The demo keeps its replays: (1) a save that fails (a full disk: the file
# size limit is lower than the replay) deletes none of the 20 kept ones; (2) one
# that succeeds deletes the oldest by number, not by name (R980, never R1000); (3) the
# idle title's demo play skips replays that cannot be played (a hostile file, a
# name too long for a path) and plays the next best, here a replay as large as
# the reader takes (16 MB, 1.19 million records), which loads at once: the run
# has two minutes where loading it used to take twenty.
# usage: keeps_test.sh LUNASHOT PALETTE RUN_GAME DEMO PLAY_INPUT WORK
set -u
lunashot="$1" palette="$2" run_game="$3" demo="$4" play="$5" work="$6"
fail() { echo "FAIL: $*" >&2; exit 1; }
header() { printf "RunScript('game.lua')\nRunScript('stage1.lua')\nVAR_replay=true\nVAR_life=3\nVAR_score=%d\n" "$1"; }
fresh() {  # fresh DIR: a copy of the demo without saved replays
  rm -rf "$1" && cp -r "$demo" "$1"
  find "$1/replay" -type f ! -name .keep ! -name .gitignore -delete
}

fresh "$work.full"
for n in $(seq 980 999); do header 100 >"$work.full/replay/R$n-0000100_stage1.lua"; done
mkdir -p "$work"
printf '#!/bin/bash\nulimit -f 16\ntrap "" XFSZ\nexec "%s" "$@"\n' "$lunashot" >"$work/limited"
chmod +x "$work/limited"
bash "$run_game" "$work/limited" "$palette" "$work.full" "$work/full" --no-stderr . \
  --stdout "^demo: play ends at frame [0-9]* with score 18230$" --stdout "^demo: the replay was not saved" \
  -- --input "$play" --max-frames 6000 >/dev/null || fail "the failed save"
kept=$(find "$work/full/replay" -name 'R9*-0000100_stage1.lua' | wc -l)
[ "$kept" = 20 ] || fail "$kept of the 20 replays are left after a failed save"
bash "$run_game" "$lunashot" "$palette" "$work.full" "$work/next" --file replay/R1000-0018230_stage1.lua \
  --no-file replay/R980-0000100_stage1.lua -- --input "$play" --max-frames 6000 >/dev/null || fail "the save after R999"

fresh "$work.title"
long=R$(printf '%0200d' 5)-9999998_stage1.lua
printf "os.execute('touch pwned')\n" >"$work.title/replay/R777-9999999_stage1.lua"
header 9999998 >"$work.title/replay/$long"
header 100 >"$work.title/replay/R001-0000100_stage1.lua"
{ header 9999997; awk 'BEGIN { for (i = 1; i <= 1190000; i++) printf "rep(%d,%d)\n", i, i % 10 }'; } \
  >"$work.title/replay/R002-9999997_stage1.lua"
timeout -s KILL 120 bash "$run_game" "$lunashot" "$palette" "$work.title" "$work/title" --no-file pwned \
  --stdout "^demo: replay R777-9999999_stage1.lua did not run$" \
  --stdout "^demo: replay R0+5-9999998_stage1.lua did not run: RunReplay: the path would be longer" \
  --stderr "R777-9999999_stage1.lua: not a replay file" --no-stdout "R002-9999997_stage1.lua did not run" \
  --stdout "^demo: play starts at frame" -- --max-frames 2600 >/dev/null || fail "the title's demo play"
echo "the demo kept its replays and skipped the unplayable ones"
