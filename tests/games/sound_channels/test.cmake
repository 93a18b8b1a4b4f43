# The one mixer, bit for bit: SDL_mixer 1.2's answers to plays, loops, limits,
# fades and volumes over time, and the md5 of every sample it made (--audio).
add_game_test(sound_channels CHECKS --audio aaf3bdac805a715781832524bf815f2d)
