# Sound files the engine cannot use: nil, and the reason told once each (stderr and log.txt).
add_game_test(sound_files CHECKS --stdout "^sound files ok$"
  --log-once "^LoadSound: sound/text.wav: .*not a sound file that can be decoded"
  --log-once "^LoadSound: sound/long.flac: .*it lasts 660 seconds, longer than 600"
  --stderr-once "^lunashot: LoadSound: sound/rate_2_30.wav: .*claims 1073741824 samples per second"
  --stderr-once "^lunashot: LoadSound: sound/rate_4.wav: .*claims 4 samples per second"
  --stderr-once "^lunashot: LoadSound: sound/channels_0.wav: .*decoded .Channel count is zero"
  --stderr-once "^lunashot: LoadSound: sound/channels_256.wav: .*claims 256 channels"
  --stderr-once "^lunashot: LoadSound: sound/ima_align_0.wav: .*not a sound file that can be decoded"
  --stderr-once "^lunashot: LoadSound: sound/ima_block_0.wav: .*Invalid number of samples"
  --stderr-once "^lunashot: LoadSound: sound/rate_0.8svx: .*not a sound file that can be decoded"
  --stderr-once "^lunashot: LoadSound: sound/text.wav: .*not a sound file that can be decoded"
  --stderr-once "^lunashot: LoadSound: sound/long.flac: .*it lasts 660 seconds, longer than 600")
