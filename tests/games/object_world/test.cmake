# A scene with every list in use, through the real Update and Present:
# motion, animation, hits, a bomb and explosions, with golden frames.
add_game_test(object_world CHECKS --golden ${CMAKE_CURRENT_LIST_DIR}/golden.txt)
