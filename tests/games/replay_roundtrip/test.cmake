# A headless play driven by --input is recorded, saved as a replay file and
# played back; the replayed keys must equal the recorded ones frame by frame.
add_game_test(replay_roundtrip ARGS --input ${CMAKE_CURRENT_LIST_DIR}/input.txt)
