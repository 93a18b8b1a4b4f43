add_game_test(engine_alert CHECKS --status 1 --stdout "alerts ok" --stderr "^cannot read .*/script/missing.lua: No such file or directory$"
  --stderr "^cannot read .*/script/gone.lua: No such file or directory$" --stderr "^lunashot: _ALERT failed: .*alert broke$"
  --stderr "start.lua:[0-9]+: start.lua gives up" --stderr "^	level20:1 " --no-stderr "level21" --stderr "^	[.][.][.]$")
