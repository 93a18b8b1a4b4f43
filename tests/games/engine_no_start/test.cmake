add_game_test(engine_no_start CHECKS --status 1 --stderr "^cannot read .*/script/start.lua: No such file or directory$")
