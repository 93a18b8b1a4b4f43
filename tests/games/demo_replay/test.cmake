# The demo's replays reproduce their plays frame for frame: after game.demo_play
# has recorded its play (every frame, for its golden check) and saved the
# replay, replay_test.sh watches that replay through the replay menu
# (watch.txt) in a copy of the same game folder and compares the md5 sums of
# every frame of the play with those of the replay.
add_test(NAME game.demo_replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay_test.sh $<TARGET_FILE:lunashot>
                 ${CMAKE_CURRENT_BINARY_DIR}/games/demo_play ${CMAKE_CURRENT_BINARY_DIR}/games/demo_replay
                 ${CMAKE_CURRENT_LIST_DIR}/watch.txt)
set_tests_properties(game.demo_replay PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED demo_played)
