#!/usr/bin/env bash
# Runs the real lunashot-pack binary: a palette from a .gpl file, the round
# trip sprite set -> picture -> sprite set, a font, and bad input (exit
# status, message, no output file).
# usage: cli_test.sh LUNASHOT_PACK WORK_DIR
set -u
pack="$1" work="$2"
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect STATUS COMMAND...: runs the command, stderr to err.txt.
expect() {
  local want="$1"; shift
  "$@" > out.txt 2> err.txt
  local got=$?
  [ "$got" = "$want" ] || fail "$* exited $got, expected $want: $(cat err.txt)"
}

# The 3-3-2 colour cube, so every colour is distinct.
{
  echo "GIMP Palette"
  echo "Name: cube"
  for i in $(seq 0 255); do
    echo "$(( (i >> 5) * 255 / 7 )) $(( ((i >> 2) & 7) * 255 / 7 )) $(( (i & 3) * 255 / 3 )) c$i"
  done
} > cube.gpl
expect 0 "$pack" palette cube.gpl pal.pal
[ "$(stat -c %s pal.pal 2>/dev/null)" = 197376 ] || fail "pal.pal is not 197376 bytes"
expect 0 "$pack" palette cube.gpl add.pal --additive
cmp -s pal.pal add.pal && fail "--additive made the same table"

# Two 3x2 sprites with transparent, opaque and blended runs.
printf '\x02\x00'\
'\x03\x00\x00\x00\x02\x00\x00\x00\x0d\x00\x00\x00'\
'\x09\x00\x01\x80\x01\x00\x05\x01\x40\x0b\x01\x00\x00'\
'\x03\x00\x00\x00\x02\x00\x00\x00\x12\x00\x00\x00'\
'\x04\x00\x01\x40\x0c\x00\x0a\x00\x01\x00\xff\x01\x40\x0d\x02\x01\x00\x00' > a.spr
expect 0 "$pack" unpack a.spr a.png --palette pal.pal
grep -q -- "--cell 3x2 --count 2" out.txt || fail "unpack did not say how to pack again: $(cat out.txt)"
expect 0 "$pack" sprites a.png b.spr --cell 3x2 --count 2 --palette pal.pal
cmp -s a.spr b.spr || fail "round trip changed the sprite set"
expect 0 "$pack" unpack a.spr view.png --palette pal.pal --view --background 3
[ -s view.png ] || fail "no view.png"

expect 0 "$pack" font a.png font.spr --cell 3x2 --first A --palette pal.pal
[ "$(head -c 2 font.spr | od -An -tx1 | tr -d ' ')" = 0001 ] || fail "font does not hold 256 sprites"

# Bad input: nothing is written.
echo "not a picture" > text.png
expect 1 "$pack" sprites text.png out.spr --cell 2x2
grep -q "text.png: not a PNG file" err.txt || fail "no message for a non-PNG: $(cat err.txt)"
expect 1 "$pack" sprites a.png out.spr --cell 4x2
grep -q "a.png: the 6x2 sheet is not a whole number of 4x2 cells" err.txt || fail "cell size: $(cat err.txt)"
expect 1 "$pack" sprites a.png out.spr --cell 3x2
grep -q "a.png: an RGB picture has no palette indices; give --palette" err.txt || fail "no palette: $(cat err.txt)"
expect 1 "$pack" unpack text.png out.png --palette pal.pal
expect 2 "$pack" sprites a.png out.spr
expect 2 "$pack"
# The output name forgotten: the last picture the shell gave is not written.
cp a.png keep.png
expect 2 "$pack" sprites --files a.png keep.png --palette pal.pal
cmp -s a.png keep.png || fail "a forgotten output name overwrote a picture"
rm keep.png
{ [ -e out.spr ] || [ -e out.png ] || ls -A | grep -q '^\.'; } && fail "a failed run left a file: $(ls -A)"

[ "$failures" = 0 ] && echo "all lunashot-pack command-line checks passed"
exit $((failures > 0))
