add_game_test(engine_no_start CHECKS --status 1 --stderr "^cannot read .*/script/start.lua: No such file or directory$")
# No game given and none where it runs: the usage, status 2, and no script/log.txt written.
add_test(NAME game.engine_no_game COMMAND bash -c [=[rm -rf "$1" && mkdir -p "$1/script" && cd "$1" &&
  { "$0" --headless 2>../no_game.err; [ $? = 2 ]; } && grep -q "^usage: lunashot" ../no_game.err &&
  [ -z "$(ls -A script)" ]]=] $<TARGET_FILE:lunashot> ${CMAKE_CURRENT_BINARY_DIR}/games/engine_no_game)
