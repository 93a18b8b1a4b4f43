#!/usr/bin/env bash
# ./make.sh web-bench [RUNS]: world_bench's full-pool frame compiled to
# WebAssembly as the page is (SIMD, Asyncify) and timed under node, then the
# same plain-loop timing of the native build, and the WebAssembly frame over
# the native one. Wall-clock medians of RUNS timings (default 15) each; it
# prints figures and never fails on speed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
runs="${1:-15}"
. web/setup.sh
cmake --build "$build" --target world_frames -j"$(nproc)" -- --no-print-directory >/dev/null
native="${LUNASHOT_BUILD:-build}"
[ -f "$native/CMakeCache.txt" ] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" --target world_frames -j"$(nproc)" -- --no-print-directory >/dev/null

wasm_out="$(node "$build/world_frames.js" "$runs")"
echo "$wasm_out"
native_out="$("$native/bench/world_frames" "$runs")"
echo "$native_out"
# The frames' figures, WebAssembly over native.
figure() { sed -n "s/^$1: \([0-9.]*\) us$/\1/p"; }
for what in "frame, varied sprites" "frame, plain sprites" "plain Lua's 1000 updater calls"; do
  w="$(figure "$what" <<<"$wasm_out")"
  n="$(figure "$what" <<<"$native_out")"
  awk -v w="$w" -v n="$n" -v what="$what" \
    'BEGIN { printf "WebAssembly / native, %s: %.1f us / %.1f us = %.2f x\n", what, w, n, w / n }'
done
