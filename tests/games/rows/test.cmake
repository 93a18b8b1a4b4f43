# The script interface as rows of Lua code and the output each must give (a few seconds: a
# minute means a hang, say a parent loop walked for ever).
add_game_test(rows ARGS --input ${CMAKE_CURRENT_LIST_DIR}/input.txt)
set_tests_properties(game.rows PROPERTIES TIMEOUT 60)
