# Replay files are data: hostile files in replay/ run no code, each gives one
# clear report and the game goes on; what the engine writes still plays.
add_game_test(replay_data CHECKS --stdout "^replay data ok$" --no-file pwned --no-stderr .)
