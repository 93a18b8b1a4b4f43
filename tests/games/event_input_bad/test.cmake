# A malformed --input file stops start-up with a line naming file and line.
add_game_test(event_input_bad DIR ${CMAKE_CURRENT_LIST_DIR}/../engine_no_palette
  CHECKS --status 3 --stderr "input file .*event_input_bad/bad.txt: line 3: a button index is larger than 31"
         --no-stdout "should not run"
  ARGS --input ${CMAKE_CURRENT_LIST_DIR}/bad.txt)
