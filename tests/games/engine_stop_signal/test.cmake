# SIGTERM stops a game whose loop runs inside a coroutine, one whose
# finalizer loops and one stuck in a pattern match, in a window and
# headless; a second SIGTERM ends one blocked in a command.
add_test(NAME game.engine_stop_signal
         COMMAND timeout 120 bash ${PROJECT_SOURCE_DIR}/tests/xvfb_run.sh bash
                 ${CMAKE_CURRENT_LIST_DIR}/stop_signal_test.sh $<TARGET_FILE:lunashot>
                 ${TEST_PALETTE} ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/games/engine_stop_signal)
set_tests_properties(game.engine_stop_signal PROPERTIES TIMEOUT 240 RESOURCE_LOCK xvfb)
