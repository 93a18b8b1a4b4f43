# The script interface as rows of Lua code and the output each must give: nothing on stderr, no
# file a hostile replay would make (a few seconds: a minute means a hang, say a parent loop).
add_game_test(rows CHECKS --no-stderr . --no-file pwned ARGS --input ${CMAKE_CURRENT_LIST_DIR}/input.txt)
set_tests_properties(game.rows PROPERTIES TIMEOUT 60)
