add_game_test(engine_no_palette CHECKS --no-palette --status 3 --log "pal.pal" --no-stdout "should not run")
