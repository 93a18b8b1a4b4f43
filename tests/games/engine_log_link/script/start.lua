print("should not run")
