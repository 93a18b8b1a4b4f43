# Player bullets against enemies in random worlds whose callbacks change the
# world: the same hits in the same order as the plain walk gave.
add_game_test(object_hit_order)
