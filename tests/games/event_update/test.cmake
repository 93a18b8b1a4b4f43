add_game_test(event_update CHECKS --stdout "event_update ok")
