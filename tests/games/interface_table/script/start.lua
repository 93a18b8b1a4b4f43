RunScript("testlib.lua")

-- The registration table in order: "c" marks a class, every other entry is a
-- function.
local table_entries = {
  "SetSeed", "Mod", "GetRand", "ToFIXED", "GetDirY", "GetDirX", "IsOdd", "RunScript",
  "RunReplay", "Update", "Present", "JoystickUpdate", "GetScriptPath", "GetReplayPath",
  "GetReplayFiles", "GetReplayFile", "Remove", "c:Sound", "SetVol", "LoadSound", "UnloadSound",
  "PlaySound", "StopSound", "FISound", "FOSound", "AdjustPalette", "FadeIn", "FadeOutBlack",
  "FadeOutWhite", "ResetPalette", "SetPalette", "SetGamma", "DrawFont", "Draw",
  "LoadSpriteSet", "c:SpriteSet", "GetKey", "IsU", "IsD", "IsL", "IsR", "IsUL", "IsDL", "IsDR",
  "IsUR", "IsStart", "IsA", "IsX", "IsY", "ClearEvent", "AddTimeEvent", "AddEnemy0Event",
  "AddEnemy1Event", "AddLayer0Event", "AddLayer1Event", "AddLayer2Event", "AddLayer3Event",
  "AddInstanceEvent", "rep", "SaveReplay", "SaveReplayFile", "SetTime", "GetTime", "SetDamage",
  "GetRkey", "IsRU", "IsRD", "IsRL", "IsRR", "IsRUL", "IsRDL", "IsRDR", "IsRUR", "IsRA", "IsRX",
  "NewObject", "c:Object", "AddEnemy0", "AddEnemy1", "AddEBullet", "AddPBullet", "AddLayer0",
  "AddLayer1", "AddLayer2", "AddLayer3", "ClearInstance", "GetHP", "GetX", "GetY", "SetX",
  "SetY", "CheckEBullet", "CheckEnemy", "GetDist", "GetDir", "GetDestDist", "GetDestDir",
  "SetDisposer", "SetUpdater", "SetParent", "GetParent", "Dispose", "c:Instance",
}

local count, classes = 0, 0
for _, entry in ipairs(table_entries) do
  count = count + 1
  local name = string.gsub(entry, "^c:", "")
  local value = _G[name]
  if name ~= entry then
    classes = classes + 1
    assert(type(value) == "userdata", name .. " is not a class but a " .. type(value))
  else
    assert(type(value) == "function", name .. " is not a function but a " .. type(value))
  end
end
assert(count == 103 and classes == 4, "the table has " .. count .. " entries")

-- Members of the classes, reached through real objects.
TestLib.WriteSpriteSet("one.spr", {TestLib.Box(2, 2, 5)})
local set = assert(LoadSpriteSet("one.spr"))
assert(type(set.Release) == "function")

local kind = NewObject()
for _, m in ipairs({"SetSpriteSet", "SetAnimSize", "SetAnim", "Release"}) do
  assert(type(kind[m]) == "function", "Object lacks " .. m)
end
kind:SetSpriteSet(set)
kind:SetAnimSize(1)
kind:SetAnim(0, 0, 0, 0, false)
for _, p in ipairs({"cx", "cy", "hp", "size", "delay"}) do
  kind[p] = 7
  assert(kind[p] == 7, "Object property " .. p)
end
kind.delay = 300
assert(kind.delay == 44)  -- unsigned 8-bit

local i = AddLayer0(kind, nil, 10, 10, 0, 0, 0, 100)
assert(i ~= nil)
for _, p in ipairs({"hit", "anim", "age", "state", "dir", "hp", "vel"}) do
  local old = i[p]
  assert(type(old) == "number", "Instance property " .. p)
  i[p] = 0
  assert(i[p] == 0, "Instance property " .. p)
end
i.vel = 70000
assert(i.vel == 70000)
i.hp = -3
assert(i.hp == -3)

-- Sound values come only from LoadSound.
assert(LoadSound("none.wav") == nil)
print("interface table: " .. count .. " entries, " .. classes .. " classes")
