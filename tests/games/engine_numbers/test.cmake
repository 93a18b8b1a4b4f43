add_game_test(engine_numbers CHECKS --stdout "^3	2	-3$" --no-stderr .)
