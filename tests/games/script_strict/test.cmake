# A strict-mode _G (an __index that raises) changes none of the engine's own
# reports: RunScript's, the undefined callback's, and start.lua's (no abort).
add_game_test(script_strict CHECKS --status 1 --stdout "^strict ok$"
              --stderr "^cannot read .*/script/missing.lua: No such file or directory$"
              --stderr "start.lua:[0-9]+: strict start.lua gives up" --no-stderr "threw an exception")
