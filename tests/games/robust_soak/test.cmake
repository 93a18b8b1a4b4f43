add_game_test(robust_soak CHECKS --stdout "frame 20000: resident" ARGS --max-frames 20001)
