# `lunashot new`, as a user meets it: the starter game is written, is never
# written over, plays headless for 600 frames from play.txt without an error,
# draws its text, and its print reaches a pipe while it runs. Its font is the
# one `lunashot-pack font --builtin` writes.
add_test(NAME game.starter
         COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/check.py $<TARGET_FILE:lunashot> $<TARGET_FILE:lunashot-pack>
                 ${CMAKE_CURRENT_BINARY_DIR}/games/starter ${CMAKE_CURRENT_LIST_DIR}/play.txt)
set_tests_properties(game.starter PROPERTIES TIMEOUT 300)
