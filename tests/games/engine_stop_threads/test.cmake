# --max-frames ends a game loop that runs in nested coroutines, each inside
# pcall, and a finalizer that would loop for ever at shutdown.
add_game_test(engine_stop_threads CHECKS --stdout "^frame 5$" --no-stdout "^frame 6$" --no-stderr . ARGS --max-frames 5)
set_tests_properties(game.engine_stop_threads PROPERTIES TIMEOUT 60)
