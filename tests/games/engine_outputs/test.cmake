# Requested outputs: one leading into the game's own folders is refused before the run (status
# 2), one that cannot be written whole ends a headless run with status 4, and `lunashot new` on
# a full disk takes back what it wrote.
add_test(NAME game.engine_outputs
         COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/outputs_test.py $<TARGET_FILE:lunashot> ${TEST_PALETTE}
                 ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/games/engine_outputs)
set_tests_properties(game.engine_outputs PROPERTIES TIMEOUT 300)
