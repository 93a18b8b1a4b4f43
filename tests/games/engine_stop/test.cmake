add_game_test(engine_stop CHECKS --stdout "^frame 5$" --no-stdout "^frame 6$" --no-stderr "." ARGS --max-frames 5)
