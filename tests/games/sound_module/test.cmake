# A tracker module the script writes loads and plays its whole length once,
# then loops from its loop point (the md5 of the mix, checked once against the
# module's halves); a damaged one gives nil and one line on standard error.
add_game_test(sound_module CHECKS --stdout "^module ok$" --audio f4fb0f5b459caaf66d8cc5d19a9aedb8
              --stderr "^lunashot: LoadSound: sound/cut.mod: a damaged or unsupported MOD module$")
