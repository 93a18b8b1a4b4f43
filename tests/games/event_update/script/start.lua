-- The timeline through the real Update (the unit tests drive its dispatch
-- step alone): a delay d fires during the (d+1)-th Update, a failing event
-- raises from Update with the counter kept, and a spawn event's instance
-- takes its first step in the same Update.
RunScript("testlib.lua")
function ten() fired_at = GetTime() end
AddTimeEvent(10, "ten")
for n = 1, 10 do Update() assert(fired_at == nil) end
Update()
assert(fired_at == 10 and GetTime() == 11)

AddTimeEvent(0, "later")
TestLib.ExpectError("attempt to call", Update)
assert(GetTime() == 11)
function later() end
Update()
assert(GetTime() == 12)

local kind = TestLib.Kind(nil, {})
local steps = 0
function walker(i) steps = steps + 1 end
AddLayer1Event(1, kind, "walker", 100, 50, 0, 0, 0, 100)
Update()
assert(steps == 0)
Update()
assert(steps == 1, "steps " .. steps)

-- Update from a function the timeline fired: the message names that line.
function nested() Update() end
AddTimeEvent(0, "nested")
TestLib.ExpectError("timeline fired, at script/start.lua:29", Update)
print("event_update ok")
