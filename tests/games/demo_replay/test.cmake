# The demo's replays reproduce their plays frame for frame: replay_test.sh
# records the play of ../demo_play/play.txt, then watches the saved replay
# through the replay menu (watch.txt) in the same game folder, and compares
# the md5 sums of every frame of the play with those of the replay.
add_test(NAME game.demo_replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay_test.sh $<TARGET_FILE:lunashot>
                 ${PROJECT_SOURCE_DIR}/games/demo ${CMAKE_CURRENT_BINARY_DIR}/games/demo_replay
                 ${CMAKE_CURRENT_LIST_DIR}/../demo_play/play.txt ${CMAKE_CURRENT_LIST_DIR}/watch.txt)
set_tests_properties(game.demo_replay PROPERTIES TIMEOUT 300)
