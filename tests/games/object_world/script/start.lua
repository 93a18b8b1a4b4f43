-- A small shooter scene through the real Update (tiles, player, enemies with a
-- turret, hits, a bomb, blasts); golden frame sums check the pixels, counts the callbacks.
RunScript("testlib.lua")
local T = TestLib
ResetPalette()
AdjustPalette()

-- Colours of the 3-3-2 test palette.
local RED, ORANGE, YELLOW, WHITE, GREEN = 224, 240, 252, 255, 28
local MAGENTA, CYAN, GREY, DARK1, DARK2 = 227, 31, 146, 37, 41

local function Diamond(d, colour)
  local rows = {}
  for y = 0, d - 1 do
    local half = y
    if d - 1 - y < half then half = d - 1 - y end
    rows[y + 1] = string.rep(".", d / 2 - half) .. string.rep("x", 2 * half)
  end
  return T.Sprite(rows, {x = colour}, 0, d)
end

T.WriteSpriteSet("world.spr", {
  Diamond(16, RED), Diamond(16, ORANGE), Diamond(16, YELLOW), Diamond(16, WHITE),  -- 0-3 enemy
  T.Box(4, 4, MAGENTA),                                                            -- 4 enemy bullet
  T.Box(2, 6, YELLOW),                                                             -- 5 player bullet
  T.Box(32, 32, DARK1), T.Box(32, 32, DARK2),                                      -- 6-7 tiles
  Diamond(12, GREEN),                                                              -- 8 player
  T.Box(4, 4, ORANGE), T.Box(8, 8, YELLOW), T.Box(12, 12, ORANGE), T.Box(16, 16, RED),  -- 9-12 blast
  T.Box(320, 6, GREY),                                                             -- 13 stripe
  T.Box(6, 6, CYAN),                                                               -- 14 turret
  T.Box(4, 4, RED), T.Box(4, 4, ORANGE), T.Box(4, 4, YELLOW), T.Box(4, 4, WHITE),  -- 15-22 one
  T.Box(4, 4, GREEN), T.Box(4, 4, MAGENTA), T.Box(4, 4, CYAN), T.Box(4, 4, GREY),  -- per list
})
local sprites = LoadSpriteSet("world.spr")

local function Kind(size, cx, cy, anims)
  return T.Kind(sprites, anims, {size = size, cx = cx, cy = cy, hp = 3})
end
local ENEMY = Kind(8, 8, 8, {{0, 3, 2, true}, {3, 0, 0, true}})
local EBULLET = Kind(2, 2, 2, {{4, 4, 0, false}})
local PBULLET = Kind(2, 1, 3, {{5, 5, 0, false}})
local TILE = Kind(0, 0, 0, {{6, 6, 0, false}, {7, 7, 0, false}})
local PLAYER = Kind(6, 6, 6, {{8, 8, 0, false}})
local BLAST = Kind(0, 8, 8, {{9, 12, 1, false}})
local STRIPE = Kind(0, 0, 0, {{13, 13, 0, false}})
local TURRET = Kind(0, 3, 3, {{14, 14, 0, false}})

-- One box per list, each over the one before: the lists are drawn in their fixed order.
for n, add in ipairs({AddLayer0, AddLayer1, AddEnemy0, AddLayer2, AddEnemy1, AddPBullet, AddEBullet, AddLayer3}) do
  add(Kind(0, 0, 0, {{14 + n, 14 + n, 0, false}}), nil, 8 + 2 * n, 220, 0, 0, 0, -1)
end

-- Probes at the bottom right: an instance whose anim and table change as it plays (each change
-- takes over at the next advance, the frame brought into the new range), and an instance of a
-- table whose start and end keep their low 8 bits.
local PROBE = Kind(0, 0, 0, {{15, 17, 0, true}, {20, 22, 2, true}, {19, 18, 0, false}})
function probe(i)
  i.anim = ({[1] = 1, [7] = 2, [11] = 0, [15] = 9, [18] = 0})[i.age] or i.anim
  if i.age == 13 then PROBE:SetAnim(0, 21, 22, 0, false) elseif i.age == 20 then PROBE:SetAnimSize(0) end
end
AddLayer3(PROBE, "probe", 300, 228, 0, 0, 0, -1)
AddLayer3(Kind(0, 0, 0, {{271, 274, 1, true}}), nil, 306, 228, 0, 0, 0, -1)

-- Instances that cannot be drawn are stepped but leave no pixel (the golden frames hold): no sprite
-- set, an anim outside the table, frames past the set, far outside, disposed before the render.
-- The sprite set, released, still draws for its kinds.
local bare = T.Kind(nil, {})
AddLayer2(bare, nil, 60, 60, 0, 0, 0, -1)
AddLayer2(ENEMY, nil, 80, 60, 0, 0, 0, -1).anim = 3
AddLayer2(Kind(0, 0, 0, {{23, 23, 0, false}}), nil, 100, 60, 0, 0, 0, -1)
AddLayer2(Kind(0, 0, 0, {{-1, -1, 0, false}}), nil, 120, 60, 0, 0, 0, -1)
AddLayer2(Kind(0, -2147483647, 0, {{4, 4, 0, false}}), nil, 32767, 60, 0, 0, 0, -1)
function haunt() local g = AddLayer3(ENEMY, nil, 160, 100, 0, 0, 0, -1) g.hit = 255 Dispose(g) end
AddLayer3(bare, "haunt", 0, 0, 0, 0, 0, -1)
sprites:Release()
T.ExpectError("SetSpriteSet: the sprite set was released", TILE.SetSpriteSet, TILE, sprites)

local counts = {e_col = 0, damage = 0, shot = 0, touched = 0, blasts = 0}
local order = ""

-- Nine rows of 32-pixel tiles keep the screen covered as they wrap.
function scroll(tile)
  if GetY(tile) >= 240 then SetY(tile, GetY(tile) - 288) end
end
for row = 0, 8 do
  for col = 0, 9 do
    AddLayer0(TILE, "scroll", col * 32, row * 32 - 16, 65536, 30, Mod(row + col, 2), -1)
  end
end
AddLayer3(STRIPE, nil, 0, 0, 0, 0, 0, -1)

-- The player swings between x 120 and 200 and fires every fourth frame.
function steer(p)
  if GetX(p) >= 200 then p.dir = 60 elseif GetX(p) <= 120 then p.dir = 0 end
  if Mod(p.age, 4) == 0 then AddPBullet(PBULLET, nil, GetX(p), GetY(p) - 8, 4 * 65536, 90, 0, 60) end
  CheckEBullet(p, "shot")
  CheckEnemy(p, "touched")
end
player = AddLayer1(PLAYER, "steer", 160, 200, 65536, 0, 0, -1)
function shot(b) counts.shot = counts.shot + 1 player.hit = RED end
function touched(e) counts.touched = counts.touched + 1 end

-- Two drifting enemies in enemy0; a boss with a turret in enemy1 fires fans at the player.
function boom(e)
  order = order .. "e" .. e.state .. " "
  counts.blasts = counts.blasts + 1
  AddLayer2(BLAST, nil, GetX(e), GetY(e), 0, 0, 0, 8)
end
function turret_gone(t) order = order .. "turret " end
function aim(e)
  if Mod(e.age, 12) == 0 then
    for spread = -6, 6, 2 do
      AddEBullet(EBULLET, nil, GetX(e), GetY(e) + 8, 3 * 65536, GetDir(e, player) + spread, 0, -1)
    end
  end
end
local function Enemy(add, x, y, dir, state, anim, updater)
  local e = add(ENEMY, updater, x, y, 32768, dir, anim, -1)
  e.state = state
  e.hp = 2
  SetDisposer(e, "boom")
  return e
end
Enemy(AddEnemy0, 140, 60, 0, 1, 0)
Enemy(AddEnemy0, 180, 50, 60, 2, 1)
local boss = Enemy(AddEnemy1, 250, 110, 0, 3, 0, "aim")
boss.vel = 0
boss.hp = 30
local turret = AddLayer2(TURRET, nil, 0, 12, 0, 0, 0, -1)
SetParent(turret, boss)
SetDisposer(turret, "turret_gone")

function e_col(e, b)
  counts.e_col = counts.e_col + 1
  e.hp = e.hp - 1
  e.hit = WHITE
  Dispose(b)
  if e.hp <= 0 then Dispose(e) end
end
function damage(e)
  counts.damage = counts.damage + 1
  Dispose(e)
end

for frame = 1, 60 do
  if frame == 45 then SetDamage(0, 0, 320, 140) end
  Update()
  Present()
end

-- Two player bullets take the first drifting enemy (2 hit points) before
-- the bomb; the bomb takes the other one (enemy0 first) and then the boss,
-- whose disposer runs before its turret's. The boss's fans reach the player.
local got = string.format("e_col %d, damage %d, blasts %d, touched %d, shot %s, order %s",
  counts.e_col, counts.damage, counts.blasts, counts.touched, tostring(counts.shot > 0), order)
assert(got == "e_col 2, damage 2, blasts 3, touched 0, shot true, order e1 e2 e3 turret ", got)
