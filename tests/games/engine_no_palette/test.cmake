add_game_test(engine_no_palette CHECKS --no-palette --status 0 --log "pal.pal" --no-stdout "should not run")
