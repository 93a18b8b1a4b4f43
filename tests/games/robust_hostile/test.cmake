add_game_test(robust_hostile CHECKS --stdout "^survived$" --last-frame 3aebaf68e32914215700bb5b634e8b2d)
