# Numeric for loops at the integer limits, deep patterns, require of source
# files in the game folder, and "" as an updater or disposer name.
add_game_test(script_limits CHECKS --stdout "^limits ok$" --no-stderr .)
