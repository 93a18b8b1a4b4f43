#!/usr/bin/env bash
# The set-up commands: "./make.sh run [options] [GAMEDIR]" builds and runs
# a game (the demo by default); "./make.sh test" builds and runs every test;
# "./make.sh web [GAMEDIR] [OUTDIR]" builds a web page that plays the game
# (default build-web/<game>/). All install what is missing first and rebuild
# only what changed.
set -euo pipefail
cd "$(dirname "$0")"
build="${LUNASHOT_BUILD:-build}"

prepare() {
  ./third_party/fetch.sh
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release ${LUNASHOT_CMAKE_ARGS:-} >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)" -- --no-print-directory
}

cmd="${1:-run}"
shift || true
case "$cmd" in
  run)
    prepare
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
    if [ "$has_game" = 1 ]; then exec "$build/lunashot" "$@"; else exec "$build/lunashot" "$@" games/demo; fi
    ;;
  test)
    prepare
    cd "$build" && ctest --output-on-failure -j"$(nproc)" "$@"
    ;;
  web)
    exec ./web/build.sh "$@"
    ;;
  *)
    echo "usage: ./make.sh run [lunashot options] [GAMEDIR] | ./make.sh test [ctest options]" \
         "| ./make.sh web [GAMEDIR] [OUTDIR]" >&2
    exit 2
    ;;
esac
