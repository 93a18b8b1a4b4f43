# The timeline through the real Update: timing, failures raised from Update
# with the event kept, ClearEvent inside a fire, spawn events, IsOdd.
add_game_test(event_update)
