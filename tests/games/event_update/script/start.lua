RunScript("testlib.lua")

-- Delay d added between Updates fires during the (d+1)-th Update.
ClearEvent()
local fired_at = nil
function ten() fired_at = GetTime() end
AddTimeEvent(10, "ten")
for n = 1, 10 do Update() assert(fired_at == nil) end
Update()
assert(fired_at == 10 and GetTime() == 11)

-- A missing function raises from Update; the event stays due, the counter
-- stays, and defining the function later lets it fire.
ClearEvent()
AddTimeEvent(0, "later")
TestLib.ExpectError("attempt to call", Update)
assert(GetTime() == 0)
TestLib.ExpectError("attempt to call", Update)
local later_runs = 0
function later() later_runs = later_runs + 1 end
Update()
assert(later_runs == 1 and GetTime() == 1)
Update()
assert(later_runs == 1)

-- The callback's own message surfaces from Update.
function broken() error("broken stage script") end
AddTimeEvent(0, "broken")
TestLib.ExpectError("broken stage script", Update)
ClearEvent()

-- ClearEvent inside a fired function: the frame ends with the counter at 1.
local after = false
function clearing() ClearEvent() end
function afterwards() after = true end
SetTime(500)
AddTimeEvent(0, "clearing")
AddTimeEvent(0, "afterwards")
Update()
assert(GetTime() == 1 and not after)

-- Update from inside a fired function is refused.
function nested() Update() end
AddTimeEvent(0, "nested")
TestLib.ExpectError("Update: called from inside a function that the timeline fired", Update)
ClearEvent()

-- A spawn event makes an instance whose updater then runs every frame.
local kind = NewObject()
kind:SetAnimSize(1)
kind:SetAnim(0, 0, 0, 0, false)
local steps = 0
function walker(i) steps = steps + 1 end
AddLayer1Event(2, kind, "walker", 100, 50, 0, 0, 0, 100)
kind = nil
collectgarbage()
Update() Update()
assert(steps == 0)
Update()  -- the spawn fires, then the world step runs the new updater
assert(steps == 1, "steps " .. steps)
Update()
assert(steps == 2)
ClearInstance()

-- IsOdd follows the counter.
ClearEvent()
local pattern = ""
for n = 1, 4 do
  pattern = pattern .. (IsOdd() and "1" or "0")
  Update()
end
assert(pattern == "0101", pattern)
print("event_update ok")
