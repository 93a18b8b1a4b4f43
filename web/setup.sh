# Sourced from the repository's root by web/build.sh and web/bench.sh: sets
# $build (the browser build's folder, LUNASHOT_WEB_BUILD or build-web),
# installs Debian's Emscripten when it is missing and configures the build
# once; the caller builds the targets it needs.
build="${LUNASHOT_WEB_BUILD:-build-web}"

./third_party/fetch.sh
if ! command -v emcc >/dev/null; then
  echo "installing: emscripten"
  apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q emscripten >/dev/null
fi
# Debian's Emscripten runs its JavaScript tools with Debian's node modules.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

# Boost is headers only: the build sees the host's through a folder that
# holds nothing else, so no host C header shadows Emscripten's.
mkdir -p "$build/host-include"
ln -sfn /usr/include/boost "$build/host-include/boost"
if [ ! -f "$build/CMakeCache.txt" ]; then
  emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DBoost_INCLUDE_DIR="$root/$build/host-include" >/dev/null
fi
