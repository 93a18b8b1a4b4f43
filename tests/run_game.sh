#!/usr/bin/env bash
# Runs one test game headless with the real binary.
# usage: run_game.sh LUNASHOT PALETTE SRC_GAME_DIR WORK_DIR [checks] -- [lunashot options]
# checks:
#   --status N          expected exit status (default 0)
#   --stderr REGEX      standard error must match (grep -E), may repeat
#   --no-stderr REGEX   standard error must not match
#   --golden FILE       recorded frames must have these md5 sums ("NAME SUM" lines);
#                       implies --record-frames WORK_DIR/frames
# A game without sprite/pal.pal gets the test palette. The game runs in a
# fresh copy, so files it writes never touch the source tree.
set -u
lunashot="$1" palette="$2" src="$3" work="$4"
shift 4
status=0 golden="" stderr_re=() no_stderr_re=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    --status) status="$2"; shift 2 ;;
    --stderr) stderr_re+=("$2"); shift 2 ;;
    --no-stderr) no_stderr_re+=("$2"); shift 2 ;;
    --golden) golden="$2"; shift 2 ;;
    *) echo "run_game.sh: unknown check $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = "--" ] && shift

rm -rf "$work"
mkdir -p "$(dirname "$work")"
cp -r "$src" "$work"
mkdir -p "$work/sprite" "$work/script" "$work/sound" "$work/replay"
[ -f "$work/sprite/pal.pal" ] || cp "$palette" "$work/sprite/pal.pal"

extra=()
[ -n "$golden" ] && extra+=(--record-frames "$work/frames")
"$lunashot" --headless "${extra[@]}" "$@" "$work" >"$work.stdout" 2>"$work.stderr"
got=$?
fail=0
cat "$work.stdout"
cat "$work.stderr" >&2
if [ "$got" != "$status" ]; then
  echo "FAIL: exit status $got, expected $status" >&2
  fail=1
fi
for re in "${stderr_re[@]}"; do
  grep -Eq -- "$re" "$work.stderr" || { echo "FAIL: stderr does not match: $re" >&2; fail=1; }
done
for re in "${no_stderr_re[@]}"; do
  grep -Eq -- "$re" "$work.stderr" && { echo "FAIL: stderr matches: $re" >&2; fail=1; }
done
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
