# Samples: a WAV the script writes, nil for a missing file (nothing logged or
# printed), the channel functions, use after unload.
add_game_test(sound_wav CHECKS --stdout "^sound ok$" --no-stderr .)
