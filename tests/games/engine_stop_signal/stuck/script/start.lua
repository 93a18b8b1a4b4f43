-- One library call that backtracks for hours (the pattern stays under the
-- depth limit), again and again under pcall: only a stop ends it.
print("looping")
io.stdout:flush()
while true do pcall(string.find, string.rep("a", 40), string.rep("a*", 30) .. "b") end
