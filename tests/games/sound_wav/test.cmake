add_game_test(sound_wav CHECKS --stdout "^1 of 1 rows pass$" --no-stderr .)
