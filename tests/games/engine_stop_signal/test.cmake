# SIGTERM stops a windowed game whose loop runs inside a coroutine.
add_test(NAME game.engine_stop_signal
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/stop_signal_test.sh $<TARGET_FILE:lunashot>
                 ${TEST_PALETTE} ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/games/engine_stop_signal)
set_tests_properties(game.engine_stop_signal PROPERTIES TIMEOUT 240 RESOURCE_LOCK xvfb)
