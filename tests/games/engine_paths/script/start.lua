-- Path builders and refusal of paths that would not fit.
RunScript("testlib.lua")
local script_dir = GetScriptPath("")
assert(string.sub(script_dir, -8) == "/script/", script_dir)
local replay = GetReplayPath("r1")
assert(replay == string.sub(script_dir, 1, -8) .. "replay/r1", replay)
-- Each result is the script's own copy of the shared buffer.
local a, b = GetScriptPath("a.lua"), GetReplayPath("b")
assert(string.find(a, "/script/a.lua$") and string.find(b, "/replay/b$"))
local long = string.rep("n", 300)
for _, f in ipairs({"GetScriptPath", "GetReplayPath", "RunScript"}) do
  assert(string.find(TestLib.ExpectError(f .. ": ", _G[f], long), "^" .. f .. ": "))
end
print("paths ok")
