# The game of docs/getting-started.md, assembled from the page's Lua blocks and
# played from play.txt: it scores, its replay is saved and watched, no error.
set(GETTING_STARTED_GAME ${CMAKE_CURRENT_BINARY_DIR}/games/getting_started.game)
add_test(NAME game.getting_started
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/assemble.sh $<TARGET_FILE:lunashot>
          ${PROJECT_SOURCE_DIR}/docs/getting-started.md ${GETTING_STARTED_GAME}
          bash ${CMAKE_CURRENT_SOURCE_DIR}/run_game.sh $<TARGET_FILE:lunashot> ${TEST_PALETTE}
          ${GETTING_STARTED_GAME} ${CMAKE_CURRENT_BINARY_DIR}/games/getting_started
          --no-stderr "." --stdout "^play: score 700$" --file replay/last_stage.lua
          --stdout "^replay: score 700, recorded 700$"
          -- --input ${CMAKE_CURRENT_LIST_DIR}/play.txt --max-frames 5000)
set_tests_properties(game.getting_started PROPERTIES TIMEOUT 300)
