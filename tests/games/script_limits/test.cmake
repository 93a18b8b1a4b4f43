# Numeric for loops at the integer limits, deep patterns, require of source
# files in the game folder, "" as an updater or disposer name, and a kind
# made while the state closes.
add_game_test(script_limits CHECKS --stdout "^limits ok$" --no-stderr .)
