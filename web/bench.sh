#!/usr/bin/env bash
# ./make.sh web-bench [RUNS]: world_bench's full-pool frame compiled to
# WebAssembly as the page is (SIMD, Asyncify) and timed under node, then the
# same plain-loop timing of the native build, and the WebAssembly frame over
# the native one. Each program prints medians of RUNS timings (default 15) in
# CPU time; this prints figures and never fails on speed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
runs="${1:-15}"
. web/setup.sh
cmake --build "$build" --target world_frames -j"$(nproc)" -- --no-print-directory >/dev/null
native="${LUNASHOT_BUILD:-build}"
[ -f "$native/CMakeCache.txt" ] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" --target world_frames -j"$(nproc)" -- --no-print-directory >/dev/null

# The two take turns, three times: the machine's load changes between runs
# more than it does within one, so each ratio is of neighbouring runs, and
# the median of the three is printed.
outputs=()
for pair in 1 2 3; do
  outputs+=("$(node "$build/world_frames.js" "$runs")")
  echo "${outputs[-1]}"
  outputs+=("$("$native/bench/world_frames" "$runs")")
  echo "${outputs[-1]}"
done
python3 - "${outputs[@]}" <<'PY'
import re, statistics, sys
def figures(text):
    return {m[0]: float(m[1]) for m in re.findall(r"^(.*): ([0-9.]+) us$", text, re.M)}
runs = [figures(t) for t in sys.argv[1:]]
for what in ("frame, varied sprites", "frame, plain sprites", "plain Lua's 1000 updater calls"):
    wasm = [r[what] for r in runs[0::2]]
    native = [r[what] for r in runs[1::2]]
    print("WebAssembly / native, %s: %.1f us / %.1f us (medians) = %.2f x (median of the turns' ratios)"
          % (what, statistics.median(wasm), statistics.median(native),
             statistics.median(w / n for w, n in zip(wasm, native))))
PY
