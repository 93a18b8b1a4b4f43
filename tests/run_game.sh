#!/usr/bin/env bash
# Runs one test game headless with the real binary, in a fresh copy of its
# folder (files it writes never touch the source tree). A game without
# sprite/pal.pal gets the test palette; tests/games/lib/*.lua (TestLib) is
# copied into script/.
# usage: run_game.sh LUNASHOT PALETTE SRC_GAME_DIR WORK_DIR [checks] -- [lunashot options]
# checks (each may repeat):
#   --status N                 expected exit status (default 0)
#   --stderr/--no-stderr RE    standard error must (not) match (grep -E); --stderr-once: one line
#   --stdout/--no-stdout RE    standard output must (not) match
#   --log RE                   script/log.txt must match; --log-once: one line
#   --file/--no-file PATH      PATH (relative to the game copy) must (not) exist afterwards
#   --no-palette               do not add the test palette
#   --no-replays               start without the replays saved in the game's replay/
#   --window                   run in a window on its own X server (xvfb_run.sh), 60 s at most
#   --memory-limit MB          run with at most MB of address space (ulimit -v), except under
#                              AddressSanitizer (ASAN_OPTIONS set), which reserves far more
#   --golden FILE              recorded frames must have these pixels: "NAME SUM" lines, SUM
#                              the md5 of frame NAME's RGB bytes (as --frame-hashes writes)
#   --audio SUM                the --audio WAV of the run must have this md5
set -u
lunashot="$1" palette="$2" src="$3" work="$4" here=$(dirname "$0")
shift 4
status=0 golden="" audio="" palette_ok=1 replays=1 checks=() fail=0 us=$'\x1f' limit=
run=("$lunashot" --headless)
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    --status) status="$2" ;;
    --stderr | --stdout) checks+=("$work.${1#--}${us}yes$us$2") ;;
    --no-stderr | --no-stdout) checks+=("$work.${1#--no-}${us}no$us$2") ;;
    --stderr-once) checks+=("$work.stderr${us}once$us$2") ;;
    --log) checks+=("$work/script/log.txt${us}yes$us$2") ;;
    --log-once) checks+=("$work/script/log.txt${us}once$us$2") ;;
    --file | --no-file) checks+=("$1$us$2") ;;
    --no-palette) palette_ok=0; shift; continue ;;
    --no-replays) replays=0; shift; continue ;;
    --window) run=(timeout -s KILL 60 env SDL_AUDIODRIVER=dummy bash "$here/xvfb_run.sh" "$lunashot")
      shift; continue ;;
    --golden) golden="$2" ;;
    --memory-limit) limit="$2" ;;
    --audio) audio="$2" ;;
    *) echo "run_game.sh: unknown check $1" >&2; exit 2 ;;
  esac
  shift 2
done
[ "${1:-}" = "--" ] && shift

rm -rf "$work"
mkdir -p "$(dirname "$work")"
cp -r "$src" "$work"
mkdir -p "$work/sprite" "$work/script" "$work/sound" "$work/replay"
cp "$here/games/lib/"*.lua "$work/script/" 2>/dev/null
[ "$palette_ok" = 1 ] && [ ! -f "$work/sprite/pal.pal" ] && cp "$palette" "$work/sprite/pal.pal"
[ "$replays" = 0 ] && find "$work/replay" -type f ! -name .keep ! -name .gitignore -delete

extra=()
[ -n "$golden" ] && extra+=(--record-frames "$work/frames" --frame-hashes "$work/hashes.txt")
[ -n "$audio" ] && extra+=(--audio "$work/audio.wav")
(
  [ -n "$limit" ] && [ -z "${ASAN_OPTIONS:-}" ] && ulimit -v $((limit * 1024))
  exec "${run[@]}" "${extra[@]}" "$@" "$work"
) >"$work.stdout" 2>"$work.stderr"
got=$?
cat "$work.stdout"
cat "$work.stderr" >&2
flunk() { echo "FAIL: $*" >&2; fail=1; }
[ "$got" = "$status" ] || flunk "exit status $got, expected $status"
for c in "${checks[@]}"; do
  IFS="$us" read -r file want re <<<"$c"
  case "$file" in
    --file) [ -e "$work/$want" ] || flunk "$want was not made" ;;
    --no-file) [ -e "$work/$want" ] && flunk "$want exists" ;;
    *)
      found=no
      grep -Eq -- "$re" "$file" 2>/dev/null && found=yes
      [ "$want" = once ] && [ "$(grep -Ec -- "$re" "$file")" = 1 ] && found=once
      [ "$found" = "$want" ] || flunk "$(basename "$file") $([ "$want" = no ] && echo matches || echo "does not match"): $re"
      ;;
  esac
done
# md5 NAME: the md5 of the pixels of recorded frame NAME (000123.png), so the
# sums hold whatever way the PNG files are compressed.
md5() { awk -v n="${1%.png}" '$1 == n { print $2 }' "$work/hashes.txt" 2>/dev/null; }
if [ -n "$golden" ]; then
  while read -r name sum; do
    case "$name" in "" | \#*) continue ;; esac
    [ "$(md5 "$name")" = "$sum" ] || flunk "frame $name has md5 $(md5 "$name"), golden $sum"
  done <"$golden"
fi
if [ -n "$audio" ]; then
  sum=$(md5sum < "$work/audio.wav" | cut -d" " -f1)
  [ "$sum" = "$audio" ] || flunk "audio.wav has md5 $sum, golden $audio"
fi
exit $fail
