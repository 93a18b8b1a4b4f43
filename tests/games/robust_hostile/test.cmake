add_game_test(robust_hostile CHECKS --stdout "^survived$" --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt)
