-- The demo game (placeholder): shows that the engine runs.
print("lunashot demo")
