add_game_test(engine_launcher CHECKS --stdout "game over" --no-file launched.txt --no-file script/launched.txt)
