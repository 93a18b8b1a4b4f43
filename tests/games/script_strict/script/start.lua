-- Reading an undeclared global raises, as strict-mode libraries make it.
RunScript("testlib.lua")
local E = TestLib.ExpectError
setmetatable(_G, { __index = function(_, name) error("undeclared global " .. tostring(name), 2) end })

RunScript("missing.lua")  -- no _ALERT: the report goes to stderr
AddTimeEvent(0, "NoSuchCallback")
E("attempt to call a nil value", Update)
AddEnemy0(TestLib.Kind(nil, {}), "NoSuchUpdater", 0, 0, 0, 0, 0, 100)
E("attempt to call a nil value", Update)
ClearInstance()
ClearEvent()
-- Globals that __index provides are still found.
local provided = { Provided = function() provided_ran = true end }
rawset(_G, "provided_ran", false)
setmetatable(_G, { __index = function(_, name)
  if provided[name] then return provided[name] end
  error("undeclared global " .. tostring(name), 2)
end })
AddTimeEvent(0, "Provided")
Update()
assert(rawget(_G, "provided_ran") == true)
print("strict ok")
error("strict start.lua gives up")
