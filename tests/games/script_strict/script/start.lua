-- Reading an undeclared global raises, as strict-mode libraries make it.
setmetatable(_G, { __index = function(_, name) error("undeclared global " .. tostring(name), 2) end })

RunScript("missing.lua")  -- no _ALERT: the report goes to stderr
AddTimeEvent(0, "NoSuchCallback")
local ok, message = pcall(Update)
assert(not ok and string.find(message, "attempt to call a nil value", 1, true), message)
local kind = NewObject()
kind:SetAnimSize(1)
local i = AddEnemy0(kind, "NoSuchUpdater", 0, 0, 0, 0, 0, 100)
ok, message = pcall(Update)
assert(not ok and string.find(message, "attempt to call a nil value", 1, true), message)
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
