# The demo keeps its replays through a failed save and past R999, skips unplayable ones.
add_test(NAME game.demo_keeps_replays
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/keeps_test.sh $<TARGET_FILE:lunashot> ${TEST_PALETTE}
                 ${CMAKE_CURRENT_SOURCE_DIR}/run_game.sh ${PROJECT_SOURCE_DIR}/games/demo
                 ${CMAKE_CURRENT_SOURCE_DIR}/games/demo_play/play.txt
                 ${CMAKE_CURRENT_BINARY_DIR}/games/demo_keeps_replays)
set_tests_properties(game.demo_keeps_replays PROPERTIES TIMEOUT 300)
