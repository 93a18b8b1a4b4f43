-- string.dump's output is refused by loadstring, loadfile, dofile, require
-- and RunScript; source text still loads everywhere.
RunScript("testlib.lua")
local binary = string.dump(function() local f = io.open("pwned", "w") f:close() end)
local f = assert(io.open(GetScriptPath("bin.lua"), "wb")) f:write(binary) f:close()
f = assert(io.open("binmod.lua", "wb")) f:write(binary) f:close()
local refused = "precompiled chunks are not loaded"

local fn, message = loadstring(binary)
assert(fn == nil and string.find(message, refused), tostring(message))
fn, message = loadfile(GetScriptPath("bin.lua"))
assert(fn == nil and string.find(message, "bin.lua: " .. refused, 1, true), tostring(message))
TestLib.ExpectError(refused, dofile, GetScriptPath("bin.lua"))
message = TestLib.ExpectError("error loading package 'binmod'", require, "binmod")
assert(string.find(message, refused), message)
local alerts = {}
function _ALERT(m) alerts[#alerts + 1] = m end
RunScript("bin.lua")
assert(#alerts == 1 and string.find(alerts[1], "bin.lua: " .. refused, 1, true), alerts[1])
_ALERT = nil
assert(loadstring("return 1 + 1")() == 2)
print("binary refused")
