# Nothing is written outside the game folder: replay names that would leave
# replay/ (or be cut by a NUL) are refused with the records kept.
add_game_test(replay_names CHECKS --stdout "^names ok$" --no-stderr .)
