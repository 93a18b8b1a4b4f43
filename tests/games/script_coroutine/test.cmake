# Callbacks that fail while the engine was called from a coroutine: their own
# message reaches the caller, and nothing is left on any thread's stack.
add_game_test(script_coroutine CHECKS --stdout "^coroutines ok$" --no-stderr .)
