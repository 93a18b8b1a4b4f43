#!/usr/bin/env bash
# Copies a game folder without the replays saved in it, then runs a command.
# usage: without_replays.sh GAME COPY COMMAND ARGS...
# The demo's tests need a folder without replays: a player's saved replays
# (games/demo/replay is where ./make.sh run saves them) would change the
# title's high score and the new replay's number.
set -eu
src="$1" copy="$2"
shift 2
rm -rf "$copy"
mkdir -p "$(dirname "$copy")"
cp -r "$src" "$copy"
find "$copy/replay" -type f ! -name .keep ! -name .gitignore -delete 2>/dev/null || true
exec "$@"
