# Samples of other rates and channel counts through the real mixer (pitch, length,
# level, a clean sine), and lunashot-pack's sound command on the same files.
add_test(NAME game.sound_mix
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sound_mix.sh $<TARGET_FILE:lunashot>
                 $<TARGET_FILE:lunashot-pack> ${TEST_PALETTE} ${CMAKE_CURRENT_LIST_DIR}
                 ${CMAKE_CURRENT_BINARY_DIR}/games/sound_mix)
set_tests_properties(game.sound_mix PROPERTIES TIMEOUT 300)
