-- Path builders, Remove, and refusal of paths that would not fit.
local script_dir = GetScriptPath("")
assert(string.sub(script_dir, -8) == "/script/", script_dir)
local replay = GetReplayPath("r1")
assert(replay == string.sub(script_dir, 1, -8) .. "replay/r1", replay)
-- Each result is the script's own copy of the shared buffer.
local a, b = GetScriptPath("a.lua"), GetReplayPath("b")
assert(string.find(a, "/script/a.lua$") and string.find(b, "/replay/b$"))

assert(Remove("no-such-file") == -1)
-- Remove takes the path as given: relative to the working directory.
local f = io.open("here.txt", "w") f:write("x") f:close()
assert(Remove("here.txt") == 0)
assert(io.open("here.txt", "r") == nil)
f = io.open(GetReplayPath("gone"), "w") f:write("x") f:close()
assert(Remove(GetReplayPath("gone")) == 0)

local long = string.rep("n", 300)
local ok, err = pcall(GetScriptPath, long)
assert(not ok and string.find(err, "^GetScriptPath: "), err)
ok, err = pcall(GetReplayPath, long)
assert(not ok and string.find(err, "^GetReplayPath: "), err)
ok, err = pcall(RunScript, long)
assert(not ok and string.find(err, "^RunScript: "), err)
print("paths ok")
