# In a window with an --input that never presses a button, a script error shows the
# error screen only until the frame limit: the run ends by itself (a hang is killed).
add_game_test(engine_error_input CHECKS --window --stderr "fails at frame 3"
              ARGS --max-frames 60 --input ${CMAKE_CURRENT_LIST_DIR}/input.txt)
set_tests_properties(game.engine_error_input PROPERTIES RESOURCE_LOCK xvfb)
