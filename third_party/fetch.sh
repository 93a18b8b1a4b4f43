#!/usr/bin/env bash
# Installs the Debian packages the build needs and unpacks the source packages
# of Lua 5.1 and luabind into deps/. Safe to run again: it does nothing when
# everything is in place. Source entries for apt are derived from the
# machine's own apt sources, so no mirror is named here.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$root/deps"

packages=(cmake make g++ patch pkg-config dpkg-dev libsdl2-dev
          libboost-dev libpng-dev libgtest-dev libbenchmark-dev python3 libimagequant-dev
          libsndfile1-dev libsoxr-dev libxmp-dev libstb-dev libgif-dev nettle-dev giflib-tools sox xvfb xdotool x11-apps openbox)

apt_updated=0
apt_update() {
  if [ "$apt_updated" = 0 ]; then apt-get update -q >/dev/null; apt_updated=1; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi

enable_sources() {
  local made=0
  if [ -f /etc/apt/sources.list.d/debian.sources ] && ! grep -q '^Types:.*deb-src' /etc/apt/sources.list.d/debian.sources; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/lunashot-src.sources
    made=1
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/lunashot-src.list
    made=1
  fi
  [ "$made" = 1 ] && apt_updated=0
  return 0
}

fetch_source() { # package, directory glob
  local pkg="$1" dir="$2"
  if compgen -G "$deps/$dir/.unpacked" >/dev/null; then return 0; fi
  mkdir -p "$deps"
  if [ -z "$(apt-cache showsrc "$pkg" 2>/dev/null | head -n 1)" ]; then
    enable_sources
    apt_update
  fi
  local tmp; tmp="$(mktemp -d)"
  (cd "$tmp" && apt-get source -q "$pkg" >/dev/null 2>&1 || apt-get source -q "$pkg")
  local src; src="$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
  rm -rf "$deps/$pkg"
  mv "$src" "$deps/$pkg"
  touch "$deps/$pkg/.unpacked"
  rm -rf "$tmp"
}

fetch_source lua5.1 lua5.1
fetch_source luabind luabind
