# Precompiled chunks are refused by every loader with one clear message.
add_game_test(script_binary CHECKS --stdout "^binary refused$" --no-file pwned --no-stderr .)
