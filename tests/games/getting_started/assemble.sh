#!/usr/bin/env bash
# Builds the game of docs/getting-started.md as a reader does (`lunashot new`, each
# ```lua block appended to the file its first line names), then runs COMMAND.
# usage: assemble.sh LUNASHOT DOC GAME_DIR COMMAND...
set -u
lunashot="$1" doc="$2" game="$3"
shift 3
rm -rf "$game"
"$lunashot" new "$game" >/dev/null || exit 1
rm "$game/script/start.lua"
awk -v dir="$game/" '
  inblock && /^```$/ { inblock = 0; next }
  inblock && first {
    first = 0
    if (!match($0, /^-- script\/[a-z0-9_]+\.lua/)) {
      print "a lua block does not start with -- script/NAME.lua: " $0 > "/dev/stderr"
      bad = 1
    }
    file = dir substr($0, 4, RLENGTH - 3)
  }
  inblock { print >> file; next }
  /^```lua$/ { inblock = 1; first = 1; blocks++ }
  END { if (blocks < 5) { print "too few lua blocks: " blocks > "/dev/stderr"; bad = 1 } exit bad }
' "$doc" || exit 1
exec "$@"
