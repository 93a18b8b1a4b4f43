# `lunashot new` as a user meets it: the starter game is written, never over, plays
# and draws without an error, prints through a pipe; its font is lunashot-pack's.
add_test(NAME game.starter
         COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/check.py $<TARGET_FILE:lunashot> $<TARGET_FILE:lunashot-pack>
                 ${CMAKE_CURRENT_BINARY_DIR}/games/starter ${CMAKE_CURRENT_LIST_DIR}/play.txt)
set_tests_properties(game.starter PROPERTIES TIMEOUT 300)
