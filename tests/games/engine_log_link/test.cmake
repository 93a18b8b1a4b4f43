# A start-up failure (no pal.pal) is not appended through a symbolic link
# planted as script/log.txt: the link's target is never created.
add_game_test(engine_log_link CHECKS --no-palette --status 3 --stderr "pal.pal" --no-file outside.txt)
