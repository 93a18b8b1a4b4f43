# Headless start-up failures exit with status 3: a short pal.pal, a missing
# --input file and a directory given as --input (missing pal.pal and a
# malformed --input file: engine_no_palette, event_input_bad).
set(SS_DIR ${CMAKE_CURRENT_LIST_DIR})
add_game_test(startup_short_palette DIR ${SS_DIR} CHECKS --status 3 --stderr "pal.pal" --no-stdout "should not run")
add_game_test(startup_missing_input DIR ${SS_DIR}/../engine_no_palette CHECKS --status 3
              --stderr "cannot read input file .*/nothing-here.txt: No such file or directory" ARGS --input nothing-here.txt)
add_game_test(startup_directory_input DIR ${SS_DIR}/../engine_no_palette CHECKS --status 3
              --stderr "cannot read input file .*: Is a directory" ARGS --input ${SS_DIR})
