# The demo played from play.txt: a play lost at the carrier, its replay saved,
# QUIT; no error, golden frames. Without a player's saved replays, which would
# change the high score and the replay's number. play.txt, the numbers below and
# golden.txt change together: rerun with --frame-hashes FILE and take the sums
# (and --audio FILE for the md5 of the sound).
add_game_test(demo_play DIR ${PROJECT_SOURCE_DIR}/games/demo
  CHECKS --no-replays --no-stderr "."
         --stdout "^demo: play starts at frame 133$"
         --stdout "^demo: play ends at frame 3666 with score 18230$"
         --stdout "^demo: saved replay R001-0018230_stage1.lua$"
         --stdout "^demo: goodbye$"
         --file replay/R001-0018230_stage1.lua
         --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt --audio fd14dbadfa32b20c5aa9e9bbdd6f79c7
  ARGS --input ${CMAKE_CURRENT_LIST_DIR}/play.txt --max-frames 6000)
# game.demo_replay watches the replay this run saves and compares its frames.
set_tests_properties(game.demo_play PROPERTIES FIXTURES_SETUP demo_played)
