-- Errors of file runs go to _ALERT when it is a function; nothing is raised.
for name, text in pairs({["broken.lua"] = "x = = 2\n",
                         ["fails.lua"] = "reached = 1\nerror('inner failure')\nreached = 2\n",
                         ["hungry.lua"] = "local t, s = {}, string.rep('x', 1048576) while true do t[#t + 1] = s .. #t end\n"}) do
  local f = assert(io.open(GetScriptPath(name), "w")) f:write(text) f:close()
end

RunScript("missing.lua")          -- no _ALERT yet: goes to stderr
local seen = {}
function _ALERT(message) seen[#seen + 1] = message end
RunScript("missing.lua")
RunScript("broken.lua")
RunScript("fails.lua")
RunScript("hungry.lua")           -- its garbage is collected before _ALERT runs
RunScript("")                     -- the folder itself
assert(#seen == 5, #seen)
assert(seen[1] == "cannot read " .. GetScriptPath("missing.lua") .. ": No such file or directory", seen[1])
assert(string.find(seen[2], "broken.lua:1:"), seen[2])
assert(string.find(seen[3], "inner failure") and reached == 1, seen[3])
assert(seen[4] == "not enough memory", seen[4])
assert(seen[5] == "cannot read " .. GetScriptPath("") .. ": Is a directory", seen[5])
function _ALERT(message) error("alert broke") end
RunScript("gone.lua")             -- _ALERT fails: the message goes to stderr
_ALERT = nil
print("alerts ok")
-- Reported on stderr (headless exit status 1) with a traceback cut after 22
-- levels: error, f, then level1 .. level20 of a chain of 30 named chunks.
local f = function() error("start.lua gives up") end
for n = 1, 30 do
  f = loadstring("local inner = ... return function() inner() end", "=level" .. n)(f)
end
f()
