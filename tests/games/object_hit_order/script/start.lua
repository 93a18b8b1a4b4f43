-- Random worlds whose callbacks move, dispose, spawn and re-parent: the log
-- of every hit, in order, must not depend on how the hit test is computed.
SetSeed(3)
local log, n = {}, 0
local function note(s) n = n + 1 log[n] = s end
local kinds = {}
for s = 1, 3 do
  local k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 0, 0, 1, true) k.size = s * 4
  kinds[s] = k
end
local all = {}
local function pick() return all[GetRand(1, #all + 1)] end
local function spawn(f, up)
  local i = f(kinds[GetRand(1, 4)], up, GetRand(0, 320), GetRand(0, 240), GetRand(0, 3) * 65536, GetRand(0, 120), 0, GetRand(5, 200))
  if i then all[#all + 1] = i end
  return i
end
local function mischief(who)
  local r = GetRand(0, 20)
  local o = pick()
  if r == 0 and o then SetX(o, GetRand(0, 320)) elseif r == 1 and o then SetY(o, GetRand(0, 240))
  elseif r == 2 and o then Dispose(o) elseif r == 3 then spawn(AddEnemy0, "eup")
  elseif r == 4 then spawn(AddEnemy1, "eup") elseif r == 5 then spawn(AddPBullet, "bup")
  elseif r == 6 and o and who then pcall(SetParent, o, who)
  elseif r == 7 then kinds[GetRand(1, 4)].size = GetRand(0, 30)
  elseif r == 8 and o then SetParent(o, nil) end
end
function eup(i) if GetRand(0, 4) == 0 then mischief(i) end end
function bup(i) if GetRand(0, 6) == 0 then mischief(i) end end
function e_col(e, b)
  note(GetX(e) .. "," .. GetY(e) .. "/" .. GetX(b) .. "," .. GetY(b))
  if GetRand(0, 2) == 0 then mischief(e) end
  if GetRand(0, 3) == 0 then Dispose(b) end
end
for f = 1, 400 do
  for k = 1, 3 do spawn(AddEnemy0, "eup") spawn(AddEnemy1, "eup") spawn(AddPBullet, "bup") end
  Update()
end
local h = 0
for k = 1, n do for c = 1, string.len(log[k]) do h = Mod(h * 31 + string.byte(log[k], c), 1000000007) end end
-- The figures of the pointer-by-pointer walk, as the engine first computed them.
assert(n == 84218 and h == -707667796, n .. " hits, hash " .. h)
