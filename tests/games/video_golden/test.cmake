add_game_test(video_golden CHECKS --no-stderr "." --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt ARGS --max-frames 8)
# Frames that cannot be recorded (the folder goes after frame 2) or hashed: said once each, the
# game goes on, and the run ends with status 4.
add_game_test(video_record_fails DIR ${CMAKE_CURRENT_LIST_DIR}
              CHECKS --status 4 --stderr-once "recording stopped" --stderr "gone/000003.png" --stderr-once "hashes stopped: cannot write /dev/full"
              ARGS --max-frames 8 --record-frames ${CMAKE_CURRENT_BINARY_DIR}/games/video_record_fails/gone --frame-hashes /dev/full)
