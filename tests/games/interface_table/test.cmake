# Every entry of the registration table is a global of its kind, and the
# classes have their members.
add_game_test(interface_table)
