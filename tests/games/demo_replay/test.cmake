# The demo's replays reproduce their plays frame for frame: replay_test.sh watches
# the replay game.demo_play saved (watch.txt) and compares every frame with the play's.
add_test(NAME game.demo_replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay_test.sh $<TARGET_FILE:lunashot>
                 ${CMAKE_CURRENT_BINARY_DIR}/games/demo_play ${CMAKE_CURRENT_BINARY_DIR}/games/demo_replay
                 ${CMAKE_CURRENT_LIST_DIR}/watch.txt)
set_tests_properties(game.demo_replay PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED demo_played)
