#!/usr/bin/env bash
# The set-up commands: "./make.sh run [options] [GAMEDIR]" builds and runs
# a game (the demo by default); "./make.sh test" builds and runs every test;
# "./make.sh web [--include DIR]... [GAMEDIR] [OUTDIR]" builds a web page that
# plays the game (default build-web/<game>/, and a .zip of it beside);
# "./make.sh web-bench [RUNS]" times the world's frame compiled to
# WebAssembly under node against the native build's. All
# install what is missing first and rebuild only what changed. Paths given
# are taken from where the command is typed.
set -euo pipefail
caller="$PWD"
cd "$(dirname "$0")"
root="$PWD"
build="${LUNASHOT_BUILD:-build}"

# prepare [TARGET...]: the targets named, or everything.
prepare() {
  ./third_party/fetch.sh
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release ${LUNASHOT_CMAKE_ARGS:-} >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)" ${1:+--target "$@"} -- --no-print-directory
}

# A path the caller gave, as it is seen from here.
from_caller() { case "$1" in /*) echo "$1" ;; *) echo "$caller/$1" ;; esac; }

cmd="${1:-run}"
shift || true
case "$cmd" in
  run)
    # Running needs the engine and the asset tool, not the tests.
    prepare lunashot lunashot-pack
    # The game is the argument that is neither an option nor an option's
    # value (so --record-frames DIR never names the game); default: the demo.
    has_game=0
    takes_value=0
    for a in "$@"; do
      if [ "$takes_value" = 1 ]; then takes_value=0; continue; fi
      case "$a" in
        --max-frames|--record-frames|--frame-hashes|--audio|--scale|--input|--gif|--gif-scale) takes_value=1 ;;
        -*) ;;
        *) has_game=1 ;;
      esac
    done
    # Run from the caller's folder, so that the game and every path option
    # are found where the caller means them.
    engine="$(cd "$build" && pwd)/lunashot"
    cd "$caller"
    if [ "$has_game" = 1 ]; then exec "$engine" "$@"; else exec "$engine" "$@" "$root/games/demo"; fi
    ;;
  test)
    prepare
    cd "$build" && ctest --output-on-failure -j"$(nproc)" "$@"
    ;;
  web)
    # --include names a folder of the game, so only the game and the output
    # folder are paths from the caller.
    web_args=()
    while [ $# -gt 0 ]; do
      case "$1" in
        --include) web_args+=("$1" "${2:-}"); shift; shift || true ;;
        -*) web_args+=("$1"); shift ;;
        *) web_args+=("$(from_caller "$1")"); shift ;;
      esac
    done
    exec ./web/build.sh ${web_args[@]+"${web_args[@]}"}
    ;;
  web-bench)
    exec ./web/bench.sh "$@"
    ;;
  *)
    echo "usage: ./make.sh run [lunashot options] [GAMEDIR] | ./make.sh test [ctest options]" \
         "| ./make.sh web [--include DIR]... [GAMEDIR] [OUTDIR] | ./make.sh web-bench [RUNS]" >&2
    exit 2
    ;;
esac
