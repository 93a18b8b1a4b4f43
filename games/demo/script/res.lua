-- Loads the demo's sprite sets and sounds and makes its object kinds. Run
-- once by start.lua; FreeResources gives everything back at the end.

S = {}    -- sprite sets
O = {}    -- object kinds
SND = {}  -- sounds

local SETS = { "player", "flame", "pshot", "dart", "spinner", "gunship", "mine", "carrier",
               "turret", "ebullet", "explode", "explode_big", "spark", "shockwave", "stars",
               "nearstar", "nebula", "moon", "rock", "item", "hud", "warning", "logo",
               "font", "font_hi", "font_dim", "font_big" }
for i = 1, #SETS do
  S[SETS[i]] = LoadSpriteSet(SETS[i] .. ".spr")
end

-- A kind: sprite set, hotspot, collision size, hit points, and animations
-- given as { first, last, hold, loop } (hold: extra frames each sprite stays).
local function Kind(set, cx, cy, size, hp, anims)
  local k = NewObject()
  k:SetSpriteSet(set)
  k.cx, k.cy, k.size, k.hp = cx, cy, size, hp
  k:SetAnimSize(#anims)
  for i = 1, #anims do
    local a = anims[i]
    k:SetAnim(i - 1, a[1], a[2], a[3], a[4])
  end
  return k
end
-- One animation per sprite, for kinds whose frame the scripts choose.
local function Stills(n)
  local t = {}
  for i = 0, n - 1 do t[i + 1] = { i, i, 0, false } end
  return t
end

-- The player banks through five sprites: animation b + 2 for bank b.
O.player = Kind(S.player, 12, 12, 3, 1, Stills(5))
O.flame = Kind(S.flame, 5, 0, 0, 0, { { 0, 3, 1, true } })
-- Player shots: a kind's hit points are the damage its shots do.
O.shot = Kind(S.pshot, 4, 8, 5, 2, { { 0, 1, 2, true } })
O.plasma = Kind(S.pshot, 4, 8, 4, 1, { { 2, 3, 2, true } })

O.dart = Kind(S.dart, 8, 8, 6, 3, { { 0, 3, 3, true } })
O.spinner = Kind(S.spinner, 12, 12, 10, 26, { { 0, 7, 2, true } })
O.gunship = Kind(S.gunship, 16, 16, 13, 60, { { 0, 3, 3, true } })
-- Mines spin both ways: animation 1 plays the loop backwards.
O.mine = Kind(S.mine, 8, 8, 6, 6, { { 0, 5, 3, true }, { 5, 0, 3, true } })
O.carrier = Kind(S.carrier, 64, 40, 30, 640, { { 0, 1, 12, true } })
-- Turrets: animations 0-15 aim in sixteen directions, 16 is the wreck.
O.turret = Kind(S.turret, 8, 8, 9, 70, Stills(17))

O.eb_small = Kind(S.ebullet, 8, 8, 3, 0, { { 0, 1, 3, true } })
O.eb_ball = Kind(S.ebullet, 8, 8, 4, 0, { { 2, 3, 3, true } })
O.eb_pellet = Kind(S.ebullet, 8, 8, 3, 0, { { 4, 5, 2, true } })
O.eb_orb = Kind(S.ebullet, 8, 8, 5, 0, { { 6, 9, 2, true } })

O.explode = Kind(S.explode, 16, 16, 0, 0, { { 0, 9, 2, false } })
O.explode_big = Kind(S.explode_big, 32, 32, 0, 0, { { 0, 9, 3, false } })
O.spark = Kind(S.spark, 6, 6, 0, 0, { { 0, 3, 1, false } })
-- The bomb's wave; its size grows with the ring (the bomb sets it each frame).
O.wave = Kind(S.shockwave, 80, 80, 0, 0, { { 0, 7, 4, false } })

O.stars = Kind(S.stars, 40, 40, 0, 0, Stills(4))
O.nearstar = Kind(S.nearstar, 4, 4, 0, 0, { { 0, 3, 5, true } })
O.nebula = Kind(S.nebula, 64, 48, 0, 0, Stills(3))
O.moon = Kind(S.moon, 48, 48, 0, 0, Stills(1))
O.rock = Kind(S.rock, 12, 12, 0, 0, { { 0, 7, 6, true }, { 7, 0, 5, true } })
O.warning = Kind(S.warning, 16, 6, 0, 0, Stills(1))
-- An invisible helper as large as the screen (CancelBullets).
O.sweep = Kind(S.hud, 0, 0, 400, 0, { { 6, 6, 0, false } })
O.item_power = Kind(S.item, 7, 7, 7, 0, { { 0, 5, 3, true } })
O.item_bomb = Kind(S.item, 7, 7, 7, 0, { { 6, 11, 3, true } })

local SOUNDS = { "shot", "hit", "explode", "explode_big", "die", "bomb", "item", "warning",
                 "move", "select", "eshot", "music" }
for i = 1, #SOUNDS do
  SND[SOUNDS[i]] = LoadSound(SOUNDS[i] .. ".wav")
  -- A missing sample only silences its effect (Sfx skips nil).
  if not SND[SOUNDS[i]] then print("demo: cannot load sound/" .. SOUNDS[i] .. ".wav") end
end
local VOLUMES = { [0] = 52, 80, 96, 96, 128, 60, 110, 96 }
for channel = 0, 7 do SetVol(channel, VOLUMES[channel]) end

function FreeResources()
  for channel = 0, 7 do StopSound(channel) end
  ClearInstance()
  ClearEvent()
  for _, k in pairs(O) do k:Release() end
  for _, s in pairs(S) do s:Release() end
  for _, snd in pairs(SND) do UnloadSound(snd) end
  O, S, SND = {}, {}, {}
end
