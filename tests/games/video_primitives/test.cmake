add_game_test(video_primitives CHECKS --no-stderr "." --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt ARGS --max-frames 4)
