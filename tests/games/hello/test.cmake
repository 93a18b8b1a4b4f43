add_game_test(hello)
