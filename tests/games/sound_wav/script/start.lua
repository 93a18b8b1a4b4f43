RunScript("testlib.lua")
TestLib.WriteWav("beep.wav", 2205)

local beep = LoadSound("beep.wav")
assert(beep ~= nil, "beep.wav did not load")
assert(LoadSound("nothere.wav") == nil)
TestLib.ExpectError("LoadSound: the path would be longer than 255", LoadSound, string.rep("w", 300))
TestLib.ExpectError("LoadSound: the file name is nil", LoadSound, nil)

-- Eight channels: -1 picks a free one until all eight play.
local used = {}
for n = 1, 8 do
  local c = PlaySound(-1, beep, -1, -1)
  assert(c >= 0 and c < 8 and not used[c], "PlaySound gave " .. c)
  used[c] = true
end
assert(PlaySound(-1, beep, 0, -1) == -1)
StopSound(-1)
local ch = PlaySound(-1, beep, 0, -1)
assert(ch >= 0 and ch < 8, "PlaySound gave " .. ch)
assert(PlaySound(7, beep, 2, 100) == 7)
assert(FISound(3, beep, 0, 50, -1) == 3)
assert(SetVol(5, 64) == 128)  -- the previous volume
assert(SetVol(5, -1) == 64)
assert(FOSound(7, 10) == 1)  -- channel 7 is playing at full volume
assert(StopSound(-1) == 0)

-- Channels below -1 lie outside the mixer's table: refused.
TestLib.ExpectError("SetVol: channel -2 does not exist", SetVol, -2, 10)
TestLib.ExpectError("StopSound: channel -40000 does not exist", StopSound, -40000)
TestLib.ExpectError("FOSound: channel -2147483648 does not exist", FOSound, -2147483648, 10)

StopSound(-1)
Update()

UnloadSound(beep)
UnloadSound(nil)
TestLib.ExpectError("UnloadSound: the sound was already unloaded", UnloadSound, beep)
TestLib.ExpectError("PlaySound: the sound was unloaded", PlaySound, -1, beep, 0, -1)
TestLib.ExpectError("FISound: the sound was unloaded", FISound, -1, beep, 0, 10, -1)

-- A second sample loads independently of the path buffer used to load it.
local again = LoadSound("beep.wav")
GetScriptPath("something-else.lua")
assert(PlaySound(-1, again, 0, -1) >= 0)
UnloadSound(again)

-- Nothing was logged: the dummy driver opened and the misses are silent.
assert(io.open(GetScriptPath("log.txt"), "r") == nil, "log.txt was written")
print("sound ok")
