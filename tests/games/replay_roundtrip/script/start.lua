-- Records 40 frames of live keys, saves them, and compares the RunReplay
-- playback frame by frame (the unit tests check the file itself).
local frames = 40

ClearEvent()
local recorded, distinct, count = {}, {}, 0
for n = 1, frames do
  Update()
  local key = GetKey()
  SaveReplay(GetTime(), key)
  recorded[GetTime()] = key
  if not distinct[key] then distinct[key] = true count = count + 1 end
end
-- The input file gives up+left (28), up-left with right (24), A+X (3),
-- up-right with both (35), and Start+Y alone (0) among others.
for _, key in ipairs({0, 28, 24, 3, 35, 8, 17, 14, 20, 4, 32}) do
  assert(distinct[key], "the recording lacks key " .. key)
end
assert(recorded[29] == 0, "Start and Y are not part of the key")

SaveReplayFile("rt", "intro.lua", "stage.lua", 3, 1200)

-- Play back in the same run: a fresh timeline, then the replay file.
ClearEvent()
RunReplay("rt_stage.lua")
assert(stage_runs == 1 and intro_saw_replay == nil)
assert(VAR_replay == true and VAR_life == 3 and VAR_score == 1200)
local differs = 0
for n = 1, frames do
  Update()
  local t = GetTime()
  assert(GetRkey() == recorded[t],
         "frame " .. t .. ": replayed " .. GetRkey() .. ", recorded " .. recorded[t])
  -- The live input has gone quiet: playback does not read it.
  assert(GetKey() == 0)
  if GetRkey() ~= GetKey() then differs = differs + 1 end
  if recorded[t] == 30 then assert(IsRU() == 1 and IsRA() == 1) end
end
assert(differs > 10)
-- The last key holds after the last record.
for n = 1, 5 do Update() end
assert(GetRkey() == recorded[frames])

print("replay round trip: " .. frames .. " frames, " .. count .. " distinct keys")
