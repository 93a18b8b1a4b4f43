# The demo game (games/demo) played headless from play.txt: START GAME, a play
# of about 3500 frames that loses its last ship fighting the carrier, the replay
# saved, Z on the result screen and QUIT, which returns from start.lua. No
# script error may be reported (nothing on standard error), and eleven frames
# must match golden.txt. The copy starts without replays: a player's saved
# replays (games/demo/replay is where ./make.sh run saves them) would change
# the title's high score and the new replay's number.
#
# The game is deterministic, so play.txt, the numbers below and golden.txt
# change together whenever the demo's behaviour or look changes: run the game
# with --input play.txt --frame-hashes FILE, then check where the play ends
# and take the new sums of the frames golden.txt names from FILE.
add_game_test(demo_play DIR ${PROJECT_SOURCE_DIR}/games/demo
  CHECKS --no-replays --no-stderr "."
         --stdout "^demo: play starts at frame 133$"
         --stdout "^demo: play ends at frame 3666 with score 18230$"
         --stdout "^demo: saved replay R001-0018230_stage1.lua$"
         --stdout "^demo: goodbye$"
         --file replay/R001-0018230_stage1.lua
         --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt
  ARGS --input ${CMAKE_CURRENT_LIST_DIR}/play.txt --max-frames 6000)
# game.demo_replay watches the replay this run saves and compares its frames.
set_tests_properties(game.demo_play PROPERTIES FIXTURES_SETUP demo_played)
