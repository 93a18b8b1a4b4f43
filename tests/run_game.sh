#!/usr/bin/env bash
# Runs one test game headless with the real binary.
# usage: run_game.sh LUNASHOT PALETTE SRC_GAME_DIR WORK_DIR [checks] -- [lunashot options]
# checks:
#   --status N          expected exit status (default 0)
#   --stderr REGEX      standard error must match (grep -E), may repeat
#   --no-stderr REGEX   standard error must not match
#   --stdout REGEX      standard output must match, may repeat
#   --no-stdout REGEX   standard output must not match
#   --log REGEX         script/log.txt must match
#   --file PATH         PATH (relative to the game copy) must exist afterwards
#   --no-file PATH      PATH must not exist afterwards
#   --no-palette        do not add the test palette
#   --golden FILE       recorded frames must have these md5 sums ("NAME SUM" lines);
#                       implies --record-frames WORK_DIR/frames
#   --last-frame MD5    the last recorded frame must have this md5 sum (implies
#                       --record-frames WORK_DIR/frames)
# A game without sprite/pal.pal gets the test palette; tests/games/lib/*.lua
# (TestLib: sprite files from Lua, error expectations) is copied into script/. The game runs in a
# fresh copy, so files it writes never touch the source tree.
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
shift 4
status=0 golden="" palette_ok=1 last_frame=""
stderr_re=() no_stderr_re=() stdout_re=() no_stdout_re=() log_re=() files=() no_files=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    --status) status="$2"; shift 2 ;;
    --stderr) stderr_re+=("$2"); shift 2 ;;
    --no-stderr) no_stderr_re+=("$2"); shift 2 ;;
    --stdout) stdout_re+=("$2"); shift 2 ;;
    --no-stdout) no_stdout_re+=("$2"); shift 2 ;;
    --log) log_re+=("$2"); shift 2 ;;
    --file) files+=("$2"); shift 2 ;;
    --no-file) no_files+=("$2"); shift 2 ;;
    --no-palette) palette_ok=0; shift ;;
    --golden) golden="$2"; shift 2 ;;
    --last-frame) last_frame="$2"; shift 2 ;;
    *) echo "run_game.sh: unknown check $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = "--" ] && shift

rm -rf "$work"
mkdir -p "$(dirname "$work")"
cp -r "$src" "$work"
mkdir -p "$work/sprite" "$work/script" "$work/sound" "$work/replay"
cp "$(dirname "$0")/games/lib/"*.lua "$work/script/" 2>/dev/null
[ "$palette_ok" = 1 ] && [ ! -f "$work/sprite/pal.pal" ] && cp "$palette" "$work/sprite/pal.pal"

extra=()
{ [ -n "$golden" ] || [ -n "$last_frame" ]; } && extra+=(--record-frames "$work/frames")
"$lunashot" --headless "${extra[@]}" "$@" "$work" >"$work.stdout" 2>"$work.stderr"
got=$?
fail=0
cat "$work.stdout"
cat "$work.stderr" >&2
if [ "$got" != "$status" ]; then
  echo "FAIL: exit status $got, expected $status" >&2
  fail=1
fi
# expect FILE WHAT yes|no REGEX: the file must (yes) or must not (no) match.
expect() {
  local found=no
  grep -Eq -- "$4" "$1" 2>/dev/null && found=yes
  if [ "$found" != "$3" ]; then
    [ "$3" = yes ] && echo "FAIL: $2 does not match: $4" >&2 || echo "FAIL: $2 matches: $4" >&2
    fail=1
  fi
}
for re in "${stderr_re[@]}"; do expect "$work.stderr" stderr yes "$re"; done
for re in "${no_stderr_re[@]}"; do expect "$work.stderr" stderr no "$re"; done
for re in "${stdout_re[@]}"; do expect "$work.stdout" stdout yes "$re"; done
for re in "${no_stdout_re[@]}"; do expect "$work.stdout" stdout no "$re"; done
for re in "${log_re[@]}"; do expect "$work/script/log.txt" log.txt yes "$re"; done
for f in "${files[@]}"; do
  [ -e "$work/$f" ] || { echo "FAIL: $f was not made" >&2; fail=1; }
done
for f in "${no_files[@]}"; do
  [ -e "$work/$f" ] && { echo "FAIL: $f exists" >&2; fail=1; }
done
if [ -n "$last_frame" ]; then
  last=$(ls "$work/frames" 2>/dev/null | sort | tail -n 1)
  have=$(md5sum "$work/frames/$last" 2>/dev/null | cut -d' ' -f1)
  if [ "$have" != "$last_frame" ]; then
    echo "FAIL: last frame ${last:-<none>} has md5 ${have:-<missing>}, golden $last_frame" >&2
    fail=1
  fi
fi
if [ -n "$golden" ]; then
  while read -r name sum; do
    [ -z "$name" ] && continue
    case "$name" in \#*) continue ;; esac
    have=$(md5sum "$work/frames/$name" 2>/dev/null | cut -d' ' -f1)
    if [ "$have" != "$sum" ]; then
      echo "FAIL: frame $name has md5 ${have:-<missing>}, golden $sum" >&2
      fail=1
    fi
  done < "$golden"
fi
exit $fail
