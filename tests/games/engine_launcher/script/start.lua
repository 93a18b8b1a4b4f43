print("game over")
