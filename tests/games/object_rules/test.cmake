# Kinds, instances, the pool and the mended faults as a script sees them
# through the real Update.
add_game_test(object_rules)
