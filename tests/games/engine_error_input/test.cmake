# In a window with --input, a script error before the frame limit shows the
# error screen only until the limit: the run ends by itself.
add_test(NAME game.engine_error_input
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/error_input_test.sh $<TARGET_FILE:lunashot>
                 ${TEST_PALETTE} ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/games/engine_error_input)
set_tests_properties(game.engine_error_input PROPERTIES TIMEOUT 240 RESOURCE_LOCK xvfb)
