add_game_test(engine_paths CHECKS --stdout "paths ok")
