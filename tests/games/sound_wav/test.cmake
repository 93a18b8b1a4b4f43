# Samples: a WAV the script writes, nil for a missing file (nothing logged or
# printed), the channel functions' refusals, use after unload.
add_game_test(sound_wav CHECKS --stdout "^1 of 1 rows pass$" --no-stderr .)
