# A tracker module the script writes loads and plays, once and for ever; a damaged
# one gives nil and one line on standard error, and the game goes on.
add_game_test(sound_module CHECKS --stdout "^module ok$"
              --stderr "^lunashot: LoadSound: sound/cut.mod: a damaged or unsupported MOD module$")
