# The one mixer, bit for bit: SDL_mixer 1.2's answers to plays, loops, limits,
# fades and volumes over time, and the md5 of every sample it made (--audio).
add_game_test(sound_channels CHECKS --audio aaf3bdac805a715781832524bf815f2d)
# An --audio file that cannot be made is a failed output.
add_game_test(sound_audio_unwritable DIR ${CMAKE_CURRENT_LIST_DIR}
              CHECKS --status 4 --stderr "--audio /no/such/dir/a.wav: cannot create"
              ARGS --audio /no/such/dir/a.wav --max-frames 1)
