# In a window with --input, a script error before the frame limit shows the
# error screen only until the limit: the run ends by itself (a hang is killed).
add_game_test(engine_error_input CHECKS --window --stderr "fails at frame 3"
              ARGS --max-frames 60 --input ${CMAKE_CURRENT_LIST_DIR}/input.txt)
set_tests_properties(game.engine_error_input PROPERTIES RESOURCE_LOCK xvfb)
