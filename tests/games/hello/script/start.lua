print("hello", 7 / 2, 2.9)
