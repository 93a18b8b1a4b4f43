# The demo game (games/demo) played headless from play.txt: START GAME, a play
# of about 3500 frames that loses its last ship fighting the carrier, the replay
# saved, Z on the result screen and QUIT, which returns from start.lua. No
# script error may be reported (nothing on standard error), and eleven frames
# must match golden.txt. The game is run by run_game.sh, like add_game_test
# does, on a copy of games/demo without saved replays (without_replays.sh).
#
# The game is deterministic, so play.txt, the numbers below and golden.txt
# change together whenever the demo's behaviour or look changes: run the game
# with --input play.txt --record-frames DIR, then check where the play ends
# and take the new md5 sums of the frames golden.txt names.
set(DEMO_PLAY_GAME ${CMAKE_CURRENT_BINARY_DIR}/games/demo_play.game)
add_test(NAME game.demo_play
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/without_replays.sh ${PROJECT_SOURCE_DIR}/games/demo ${DEMO_PLAY_GAME}
          bash ${CMAKE_CURRENT_SOURCE_DIR}/run_game.sh $<TARGET_FILE:lunashot> ${TEST_PALETTE}
               ${DEMO_PLAY_GAME} ${CMAKE_CURRENT_BINARY_DIR}/games/demo_play
               --no-stderr "."
               --stdout "^demo: play starts at frame 133$"
               --stdout "^demo: play ends at frame 3666 with score 18230$"
               --stdout "^demo: saved replay R001-0018230_stage1.lua$"
               --stdout "^demo: goodbye$"
               --file replay/R001-0018230_stage1.lua
               --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt
               -- --input ${CMAKE_CURRENT_LIST_DIR}/play.txt --max-frames 6000)
# game.demo_replay watches the replay this run saves and compares its frames.
set_tests_properties(game.demo_play PROPERTIES TIMEOUT 300 FIXTURES_SETUP demo_played)
