add_game_test(robust_hostile CHECKS --stdout "^survived$" --last-frame dfbe0c88f36a24f648e0ae14e6f890ed)
