add_game_test(event_update CHECKS --no-stderr .)
