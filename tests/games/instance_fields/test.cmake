# Instance fields as scripts read and write them: stored as their C++ types,
# other keys and wrong values handled as by any bound class.
add_game_test(instance_fields)
