RunScript("testlib.lua")
local E = TestLib.ExpectError
-- Loops: { first, limit, step, iterations, last index seen }
local loops = {
  { 2147483645, 2147483647, 1, 3, 2147483647 },
  { -2147483646, -2147483648, -1, 3, -2147483648 },
  { -2147483648, 2147483647, 1073741824, 4, 1073741824 },
  { 2147483647, -2147483648, -2147483648, 2, -1 },
  { 0, 2147483647, 2147483647, 2, 2147483647 },
  { 1, 10, 3, 4, 10 },
  { 3, 1, -1, 3, 1 },
  { 1, 0, 1, 0, nil },
  { 0, 1, -1, 0, nil },
  { 5, 5, 2147483647, 1, 5 },
}
for _, l in ipairs(loops) do
  local n, last = 0, nil
  for i = l[1], l[2], l[3] do
    n = n + 1
    last = i
    if n > 10 then break end
  end
  assert(n == l[4] and last == l[5], l[1] .. "," .. l[2] .. "," .. l[3] .. ": " .. n .. " runs")
end
local n = 0
for i = 7, 3, 0 do n = n + 1 if n == 50 then break end end  -- step 0 keeps Lua's rule
assert(n == 50)

-- Deep patterns are an error, not a crash; ordinary ones still work.
E("pattern too complex", string.find, "aaaa", string.rep("a*", 70000))
E("too many captures", string.gsub, "aaaa", string.rep("(", 40000), "")
assert(string.find("aaab", string.rep("a?", 100) .. "b") == 1)
assert(string.match("key = value", "^(%w+)%s*=%s*(%w+)$") == "key")

-- require: "?;?.lua" from the game folder, once per name; LUA_PATH changes it.
local m = require("mod")
assert(m.name == "mod" and require("mod") == m and loads == 1)
E("could not load package 'absent' from path '?;?.lua'", require, "absent")
LUA_PATH = "lib/?.lua"
assert(require("quiet") == true and require("quiet") == true and quiet_loads == 1)
LUA_PATH = nil

-- "" names a function like any other name (here an undefined one).
local kind, uncalled = TestLib.Kind(nil, {}), "attempt to call a nil value"
local i = AddEnemy0(kind, "", 0, 0, 0, 0, 0, 100)
E(uncalled, Update)
SetUpdater(i, nil)
Update()
SetDisposer(i, "")
E(uncalled, Dispose, i)
ClearInstance()
local spawned = AddLayer0(kind, nil, 0, 0, 0, 0, 0, 100)
SetDisposer(spawned, "")
SetDisposer(spawned, nil)
Dispose(spawned)
ClearEvent()
AddEnemy0Event(0, kind, "", 0, 0, 0, 0, 0, 100)
E(uncalled, Update)
-- Names the engine keeps are bounded.
local long, too_long = string.rep("f", 256), "is longer than 255 characters"
E(too_long, AddTimeEvent, 0, long)
E(too_long, AddInstanceEvent, 0, long, nil)
E(too_long, AddEnemy0Event, 0, kind, long, 0, 0, 0, 0, 0, 1)
E(too_long, AddLayer2, kind, long, 0, 0, 0, 0, 0, 1)
E(too_long, SetUpdater, nil, long)
E(too_long, SetDisposer, nil, long)
AddTimeEvent(0, string.rep("f", 255))
ClearEvent() ClearInstance()
-- A kind made by a finalizer while the state closes is freed too (the
-- LeakSanitizer build would report it).
made_at_close = newproxy(true)
getmetatable(made_at_close).__gc = function() NewObject():SetAnimSize(3) end
print("limits ok")
