-- Soak: the pool kept full with spawns, disposals, parents, events and replay
-- records every frame; resident memory after warm-up must grow by less than 1%.
RunScript("testlib.lua")
TestLib.WriteSpriteSet("soak.spr", {TestLib.Box(16, 16, 100), TestLib.Box(16, 16, 150),
                                    TestLib.Sprite({".AB"}, {a = 7, b = 9}, 2)})
local set = LoadSpriteSet("soak.spr")
local kinds = {}
for k = 1, 4 do
  kinds[k] = TestLib.Kind(set, {{0, 2, k, true}, {2, 0, 0, false}},
                          {size = 4 + k, hp = 10 * k, cx = 8, cy = 8})
end

local live = {}      -- handle -> true, the instances this script knows about
function step(i) i.hp = i.hp - 1 if i.hp < 0 then Dispose(i) end end
function gone(i) live[i] = nil end
function e_col(e, b) e.hit = 7 Dispose(b) end
function damage(e) e.hp = e.hp - 1 end
function hit(x) x.state = x.state + 1 end
function tick() end
function poke(i) if i then i.anim = 1 end end

local spawners = {AddEnemy0, AddEnemy1, AddEBullet, AddPBullet, AddLayer0, AddLayer1, AddLayer2, AddLayer3}
local event_spawners = {AddEnemy0Event, AddEnemy1Event, AddLayer0Event, AddLayer1Event, AddLayer2Event, AddLayer3Event}
local previous = nil

local function rss()
  collectgarbage("collect")
  local f = io.open("/proc/self/status", "r")
  local text = f:read("*a")
  f:close()
  return tonumber(string.match(text, "VmRSS:%s*(%d+)"))
end

SetSeed(99)
ClearEvent()
local player = AddLayer3(kinds[1], nil, 160, 200, 0, 0, 0, -1)
-- Under AddressSanitizer freed memory sits in quarantine, so resident size
-- says nothing there; LeakSanitizer checks that build instead.
local sanitized = os.getenv("ASAN_OPTIONS") ~= nil
local frame, base = 0, nil
while true do
  frame = frame + 1
  -- Fill the pool: spawn until it is empty.
  for n = 1, 1000 do
    local k = kinds[GetRand(1, 5)]
    local i = spawners[GetRand(1, 9)](k, (n % 3 == 0) and "step" or nil, GetRand(-10, 330),
                                      GetRand(-10, 250), GetRand(-65536, 65536), GetRand(0, 256),
                                      GetRand(0, 2), GetRand(1, 90))
    if not i then break end
    live[i] = true
    SetDisposer(i, "gone")
    if previous and n % 5 == 0 then SetParent(i, previous) end
    previous = i
  end
  -- Dispose some at random (handles may name reused instances: that is fine).
  local n = 0
  for i in pairs(live) do
    n = n + 1
    if n % 7 == 0 then Dispose(i) end
    if n > 140 then break end
  end
  CheckEnemy(player, "hit")
  CheckEBullet(player, "hit")
  SetDamage(GetRand(0, 300), GetRand(0, 200), 40, 40)
  AddTimeEvent(GetRand(0, 30), "tick")
  AddInstanceEvent(GetRand(0, 30), "poke", previous)
  event_spawners[GetRand(1, 7)](GetRand(0, 20), kinds[GetRand(1, 5)], "step", 100, 100,
                                65536, GetRand(0, 120), 0, 20)
  SaveReplay(GetTime(), GetRand(0, 36))
  if frame % 500 == 0 then
    SaveReplayFile("soak", "a.lua", "b.lua", 3, frame)
    assert(Remove(GetReplayPath("soak_b.lua")) == 0)
  end
  Update()
  Present()
  if frame == 3000 then
    base = rss()
    print("warm-up done at frame 3000: resident " .. base .. " kB")
  elseif base and frame % 5000 == 0 then
    local now = rss()
    print("frame " .. frame .. ": resident " .. now .. " kB")
    assert(sanitized or now * 100 < base * 101,
           "resident size grew from " .. base .. " to " .. now .. " kB")
  end
end
