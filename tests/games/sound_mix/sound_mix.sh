#!/usr/bin/env bash
# Each case writes a WAV, has the game play it once (SDL's dummy video and disk
# audio drivers write the mixed stream, s8 mono 11025 Hz) and checks that stream.
# usage: sound_mix.sh LUNASHOT LUNASHOT_PACK PALETTE SRC_DIR WORK_DIR
set -u
lunashot="$1" pack="$2" palette="$3" src="$4" work="$5"
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# play GAME WAV: the stream the mixer wrote while the game played WAV.
play() {
  local game="$work/$1"
  cp -r "$src" "$game" && mkdir -p "$game/sprite" "$game/sound"
  cp "$palette" "$game/sprite/pal.pal" && cp "$2" "$game/sound/test.wav"
  # Buffers of 512 samples (46 ms) every 15 ms: the stream runs about three
  # times faster than real time, so 150 frames (2.5 s) hold the whole sample.
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$game/out.raw" \
    SDL_DISKAUDIODELAY=15 "$lunashot" --max-frames 150 "$game" > "$game.out" 2>&1 ||
    fail "$1: lunashot exited $?: $(cat "$game.out")"
}

# check NAME FREQ SECONDS AMPLITUDE: one tone of that pitch (2 %), length
# (3 %) and amplitude (5 %, in 8-bit steps) in the stream, and nothing else:
# what a fitted sine leaves is below 2 % of it.
check() {
  local problems
  problems=$(python3 - "$work/$1/out.raw" "$2" "$3" "$4" <<'PY'
import math, sys
data, freq, secs, amp = open(sys.argv[1], "rb").read(), float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
rate = 11025
s = [b - 256 if b > 127 else b for b in data]
loud = [i for i, v in enumerate(s) if abs(v) > 3]
if not loud: sys.exit(print("the stream is silent") or 1)
a, b = loud[0], loud[-1] + 1
length = (b - a) / rate
# The period that best fits the upward zero crossings, placed between samples.
up = [i - 1 + s[i - 1] / (s[i - 1] - s[i]) for i in range(a + 1, b) if s[i - 1] < 0 <= s[i]]
n = len(up)
if n < 3: sys.exit(print("no tone") or 1)
mean_k, mean_t = (n - 1) / 2, sum(up) / n
period = sum((k - mean_k) * (t - mean_t) for k, t in enumerate(up)) / sum((k - mean_k) ** 2 for k in range(n))
f = rate / period
# The least-squares sine of that frequency over the tone, less its edges.
m = range(a + 50, b - 50)
w = 2 * math.pi * f / rate
sin, cos, x = [math.sin(w * i) for i in m], [math.cos(w * i) for i in m], [s[i] for i in m]
sxx, scc, sxc = sum(v * v for v in sin), sum(v * v for v in cos), sum(p * q for p, q in zip(sin, cos))
px, pc = sum(p * q for p, q in zip(x, sin)), sum(p * q for p, q in zip(x, cos))
det = sxx * scc - sxc * sxc
ks, kc = (px * scc - pc * sxc) / det, (pc * sxx - px * sxc) / det
fitted = math.hypot(ks, kc)
rest = math.sqrt(sum((v - ks * p - kc * q) ** 2 for v, p, q in zip(x, sin, cos)) / len(x))
problems = []
if abs(f - freq) > 0.02 * freq: problems.append(f"pitch {f:.1f} Hz, expected {freq}")
if abs(length - secs) > 0.03 * secs: problems.append(f"length {length:.3f} s, expected {secs}")
if abs(fitted - amp) > 0.05 * amp: problems.append(f"amplitude {fitted:.1f}, expected {amp}")
if rest > 0.02 * fitted: problems.append(f"{rest:.2f} left after the fitted sine of {fitted:.1f}")
if len(s) - b < rate // 10: problems.append("the stream ended before the tone did")
print("; ".join(problems))
sys.exit(1 if problems else 0)
PY
) || fail "$1: $problems"
}

# 16-bit sines: left and right of opposite signs (their mean is 0.3 of full
# scale, 38.4 steps), and a rate that is not 11025 times a power of two.
sox -D -n -r 44100 -b 16 "$work/stereo44.wav" synth 1.0 sine 1000 remix 1v0.8 1v-0.2
sox -D -n -r 48000 -b 16 "$work/mono48.wav" synth 1.2 sine 440 vol 0.5
for c in "stereo44 1000 1.0 38.4" "mono48 440 1.2 64"; do
  set -- $c && play "$1" "$work/$1.wav" && check "$@"
done

# The same file converted ahead by lunashot-pack plays the same.
"$pack" sound "$work/mono48.wav" "$work/native.wav" > "$work/pack.out" 2>&1 || fail "sound: $(cat "$work/pack.out")"
grep -q "mono48.wav: WAV (Microsoft), Signed 16 bit PCM, 48000 Hz, 1 channel, 1.200 s" "$work/pack.out" ||
  fail "sound did not describe the source: $(cat "$work/pack.out")"
"$pack" sound --check "$work/native.wav" | grep -q "native, loads as it is" || fail "native.wav is not native"
play native "$work/native.wav" && check native 440 1.2 64

# Files it cannot use: the reason, status 1; an output over its input: status 2.
printf 'RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x00\x00\x40\x1f\x00\x00' > "$work/bad.wav"
"$pack" sound --check "$work/mono48.wav" "$work/bad.wav" > "$work/check.out" 2>&1
[ $? = 1 ] || fail "--check of a bad file did not exit 1"
grep -q "bad.wav: cannot be used: not a sound file that can be decoded" "$work/check.out" ||
  fail "--check gave no reason: $(cat "$work/check.out")"
before=$(md5sum < "$work/mono48.wav")
"$pack" sound "$work/mono48.wav" "$work/../sound_mix/mono48.wav" > /dev/null 2>&1
[ $? = 2 ] || fail "sound accepted its input as its output"
[ "$(md5sum < "$work/mono48.wav")" = "$before" ] || fail "sound changed its input"

[ "$failures" = 0 ] && echo "sound_mix: all cases passed"
exit "$failures"
