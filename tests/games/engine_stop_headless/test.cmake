# SIGTERM stops headless runs cleanly, in a frame loop and in a loop without frames.
add_test(NAME game.engine_stop_headless
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/stop_headless_test.sh $<TARGET_FILE:lunashot>
                 ${TEST_PALETTE} ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/games/engine_stop_headless)
set_tests_properties(game.engine_stop_headless PROPERTIES TIMEOUT 120)
