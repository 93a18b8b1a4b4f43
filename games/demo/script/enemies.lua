-- Enemies: their types, updaters and bullet patterns, the carrier with its
-- turrets, and the stage's scripted moments (warning, escort, clear).
-- Enemy state: 0 fighting, 1 a wreck (turrets), 2 dying.

TYPES = {
  dart = { score = 100, boom = "small" },
  mine = { score = 150, boom = "small", burst = true },
  spinner = { score = 600, boom = "medium", drop = "bomb" },
  gunship = { score = 1500, boom = "big", drop = "power" },
  turret = { score = 2500, boom = "medium" },
  carrier = { score = 30000, boom = "big" },
}

-- Registers an enemy: its per-instance data and the disposer that forgets
-- it. Enemies spawned by timeline events register on their first step.
function Enemy(e, type)
  local d = { type = type, t = TYPES[type] }
  E[e] = d
  SetDisposer(e, "Forget")
  return d
end

function Info(e, type)
  return E[e] or Enemy(e, type)
end

-- Enemies leave when far enough off screen.
function Gone(e)
  local x, y = GetX(e), GetY(e)
  if x < -48 or x > 368 or y > 280 or y < -90 then Dispose(e) end
end

function Kill(e)
  local d = E[e]
  if not d or e.state ~= 0 then return end
  local x, y = GetX(e), GetY(e)
  G.score = G.score + d.t.score
  if d.type == "turret" then
    -- A turret stays on its carrier as a burnt-out wreck.
    e.state, e.anim = 1, 16
    Boom("medium", x, y)
    return
  end
  if d.type == "carrier" then
    CarrierDies(e)
    return
  end
  e.state = 2
  Boom(d.t.boom, x, y)
  if d.t.drop then DropItem(d.t.drop, x, y) end
  -- Every twelfth dart shot down leaves a power-up.
  if d.type == "dart" then
    G.darts = G.darts + 1
    if Mod(G.darts, 12) == 0 then DropItem("power", x, y) end
  end
  if d.t.burst then Ring(O.eb_small, x, y, 8, GetRand(0, 15), ToFIXED(1, 40)) end
  Dispose(e)
end

-- --- Bullet patterns -------------------------------------------------------------

function Shoot(kind, x, y, dir, vel, updater)
  return AddEBullet(kind, updater, x, y, vel, dir, 0, 900)
end

-- The direction from a point to the player (straight down without one).
function AimFrom(x, y)
  if not G.player then return 30 end
  return Mod(GetDestDir(G.player, x, y) + 60, 120)
end

function Ring(kind, x, y, n, base, vel, updater)
  for i = 0, n - 1 do Shoot(kind, x, y, Mod(base + i * 120 / n, 120), vel, updater) end
end

-- n bullets `step` directions apart, centred on dir.
function Fan(kind, x, y, dir, n, step, vel)
  for i = 0, n - 1 do
    Shoot(kind, x, y, Mod(dir + (i * 2 - (n - 1)) * step / 2 + 120, 120), vel)
  end
end

-- Bullets that start slow and speed up.
function Accelerate(b)
  if b.vel < ToFIXED(3, 0) then b.vel = b.vel + ToFIXED(0, 5) end
end

-- Bullets that bend for their first second; state 1 bends one way, 2 the other.
function Bend(b)
  if b.age < 60 and Mod(b.age, 3) == 0 then
    if b.state == 1 then b.dir = Mod(b.dir + 1, 120) else b.dir = Mod(b.dir + 119, 120) end
  end
end

-- Turns dir at most `most` steps towards `want`.
function Steer(dir, want, most)
  local diff = Mod(want - dir + 180, 120) - 60
  return Mod(dir + Clamp(diff, -most, most) + 120, 120)
end

-- --- Small fighters ------------------------------------------------------------

-- Dives down, veers once towards the player, fires one aimed shot.
function DartDive(e)
  Info(e, "dart")
  if e.age == 24 and G.player then e.dir = Steer(e.dir, GetDir(e, G.player), 12) end
  if e.age == 36 and GetY(e) < 170 then
    Shoot(O.eb_small, GetX(e), GetY(e) + 6, AimFrom(GetX(e), GetY(e) + 6), ToFIXED(2, 30))
  end
  if e.age > 24 and e.vel < ToFIXED(3, 60) then e.vel = e.vel + ToFIXED(0, 6) end
  Gone(e)
end

-- Snakes down the screen, firing now and then.
function DartWave(e)
  Info(e, "dart")
  e.dir = 30 + GetDirX(Mod(e.age * 3, 120), 24)
  if Mod(e.age, 64) == 40 and GetY(e) < 180 then
    local b = Shoot(O.eb_small, GetX(e), GetY(e), 0, ToFIXED(2, 10))
    if b then b.dir = GetDir(b, G.player) end
  end
  Gone(e)
end

-- Comes down, then swings out towards the nearer side with a three-way shot.
function DartTurn(e)
  Info(e, "dart")
  if e.age == 40 then
    Fan(O.eb_pellet, GetX(e), GetY(e), AimFrom(GetX(e), GetY(e)), 3, 8, ToFIXED(1, 90))
    Sfx(5, SND.eshot)
  end
  if e.age > 40 and e.age < 70 then
    if GetX(e) < 160 then e.dir = Mod(e.dir + 119, 120) else e.dir = e.dir + 1 end
  end
  Gone(e)
end

-- Drifts towards the player; bursts into a ring when destroyed.
function MineUpdate(e)
  Info(e, "mine")
  if G.player then
    if Mod(e.age, 8) == 0 then e.dir = Steer(e.dir, GetDir(e, G.player), 3) end
    -- Close to the player, a mine goes off by itself (no points for that).
    if e.age > 60 and GetDestDist(e, GetX(G.player), GetY(G.player)) < 40 * 40 then
      e.state = 2
      Boom("small", GetX(e), GetY(e))
      Ring(O.eb_small, GetX(e), GetY(e), 6, GetRand(0, 20), ToFIXED(1, 20))
      Dispose(e)
      return
    end
  end
  Gone(e)
end

-- --- Heavier ships --------------------------------------------------------------

-- Comes down, brakes, turns in place firing rings, then leaves.
function SpinnerUpdate(e)
  Info(e, "spinner")
  local x, y = GetX(e), GetY(e)
  if e.age < 50 then
    e.vel = Max(0, e.vel - ToFIXED(0, 5))
  elseif e.age < 420 then
    if Mod(e.age, 52) == 0 then
      Ring(O.eb_pellet, x, y, 12, Mod(e.age / 2, 10), ToFIXED(1, 50))
      Sfx(5, SND.eshot)
    end
    if Mod(e.age, 132) == 88 then Fan(O.eb_ball, x, y, AimFrom(x, y), 3, 6, ToFIXED(2, 0)) end
  else
    -- Done: from now on the spinner runs another updater.
    e.dir = 30
    SetUpdater(e, "Leave")
  end
  Gone(e)
end

-- Speeds away downwards.
function Leave(e)
  e.vel = Min(e.vel + ToFIXED(0, 4), ToFIXED(2, 0))
  Gone(e)
end

-- Lumbers down, sways, fires fans from both gun pods.
function GunshipUpdate(e)
  Info(e, "gunship")
  local x, y = GetX(e), GetY(e)
  if e.age < 90 then
    e.vel = Max(ToFIXED(0, 10), e.vel - ToFIXED(0, 1))
  elseif e.age < 640 then
    e.vel = ToFIXED(0, 30)
    if Mod(e.age / 150, 2) == 0 then e.dir = 0 else e.dir = 60 end
    if x < 40 then e.dir = 0 elseif x > 280 then e.dir = 60 end
    -- The two gun pods take turns.
    if Mod(e.age, 80) == 0 then
      local px = x - 10
      if Mod(e.age / 80, 2) == 1 then px = x + 10 end
      Fan(O.eb_ball, px, y + 14, AimFrom(px, y + 14), 5, 7, ToFIXED(1, 70))
      Sfx(5, SND.eshot)
    end
    if Mod(e.age, 160) == 40 then
      local b = Shoot(O.eb_orb, x, y + 16, AimFrom(x, y + 16), ToFIXED(0, 50), "Accelerate")
    end
  else
    e.dir = 30
    e.vel = Min(e.vel + ToFIXED(0, 3), ToFIXED(1, 50))
  end
  Gone(e)
end

-- Drifting rocks of the middle layer; they turn one way or the other.
function RockUpdate(r)
  Drift(r)
end

-- --- The carrier -----------------------------------------------------------------

-- Turret sockets, relative to the carrier's reference point.
SOCKETS = { { -40, -20 }, { 40, -20 }, { -20, 8 }, { 20, 8 } }
CARRIER_ARRIVES = 128

function SpawnCarrier()
  local c = AddEnemy0(O.carrier, "CarrierUpdate", 160, -60, ToFIXED(0, 95), 30, 0, -1)
  if not c then return end
  local d = Enemy(c, "carrier")
  d.turrets = {}
  for i = 1, #SOCKETS do
    local t = AddEnemy1(O.turret, "TurretUpdate", SOCKETS[i][1], SOCKETS[i][2], 0, 0, 4, -1)
    if t then
      SetParent(t, c)
      local td = Enemy(t, "turret")
      td.slot = i
      td.ax, td.ay = GetX(t), GetY(t)
      SetDisposer(t, "TurretGone")
      d.turrets[#d.turrets + 1] = t
    end
  end
  G.carrier = c
  FISound(7, SND.music, -1, 3000, -1)
  AddTimeEvent(400, "CarrierEscort")
end

function CarrierUpdate(c)
  if c.state ~= 0 then return end
  local d = E[c]
  if c.age == CARRIER_ARRIVES then c.vel = 0 end
  if c.age <= CARRIER_ARRIVES then return end
  local phase = c.age - CARRIER_ARRIVES
  if phase > 5400 then
    -- Out of patience: the carrier withdraws and the stage ends without it.
    c.dir, c.vel = 90, ToFIXED(1, 20)
    if GetY(c) < -80 then
      G.carrier = nil
      Dispose(c)
      AddTimeEvent(60, "StageClear")
    end
    return
  end
  SetX(c, 160 + GetDirX(Mod(phase / 3 + 90, 120), 64))
  local cx, cy = GetX(c), GetY(c) + 14
  local left = c.hp * 100 / GetHP(c)
  if left > 66 then
    -- A slow double spiral from the core.
    if Mod(phase, 9) == 0 then
      local dir = Mod(phase / 2, 120)
      Shoot(O.eb_orb, cx + GetDirX(dir, 8), cy + GetDirY(dir, 8), dir, ToFIXED(1, 60))
      Shoot(O.eb_orb, cx + GetDirX(dir + 60, 8), cy + GetDirY(dir + 60, 8), Mod(dir + 60, 120), ToFIXED(1, 60))
    end
  else
    -- Rings that bend, and aimed bursts.
    local every = 50
    if left < 33 then every = 34 end
    if Mod(phase, every) == 0 then
      local base = GetRand(0, 10)
      for i = 0, 13 do
        local b = Shoot(O.eb_small, cx, cy, Mod(base + i * 120 / 14, 120), ToFIXED(1, 60), "Bend")
        if b then b.state = 1 + Mod(phase / every, 2) end
      end
      Sfx(5, SND.eshot)
    end
    if Mod(phase, 80) == 40 then
      Fan(O.eb_ball, cx, cy, AimFrom(cx, cy), 5, 4, ToFIXED(2, 40))
    end
  end
end

function TurretUpdate(t)
  local d = E[t]
  if not d then return end
  -- Absolute position, kept for the disposer (a disposed child has lost its parent).
  d.ax, d.ay = GetX(t), GetY(t)
  if t.state ~= 0 then
    if Mod(t.age, 24) == 0 then AddLayer3(O.spark, nil, d.ax + GetRand(-3, 4), d.ay - 2, ToFIXED(0, 50), 90, 0, 8) end
    return
  end
  local carrier = GetParent(t)
  if not carrier or carrier.age < CARRIER_ARRIVES + 20 or carrier.state ~= 0 then return end
  local dir = 30
  if G.player then dir = GetDir(t, G.player) end
  -- Sixteen aiming sprites, one every 7.5 direction steps.
  t.anim = Mod((dir * 2 + 7) / 15, 16)
  if Mod(t.age + d.slot * 19, 70) == 0 then
    local mx, my = d.ax + GetDirX(dir, 9), d.ay + GetDirY(dir, 9)
    Shoot(O.eb_pellet, mx + GetDirX(dir + 30, 2), my + GetDirY(dir + 30, 2), dir, ToFIXED(2, 20))
    Shoot(O.eb_pellet, mx + GetDirX(dir + 90, 2), my + GetDirY(dir + 90, 2), dir, ToFIXED(2, 20))
  end
end

function TurretGone(t)
  local d = E[t]
  if d and G.carrier_falling then Boom("medium", d.ax, d.ay) end
  E[t] = nil
end

-- While the carrier fights, darts come to help every few seconds.
function CarrierEscort()
  local c = G.carrier
  if not c or c.state ~= 0 then return end
  local side = Mod(GetTime() / 400, 2)
  for i = 0, 3 do
    AddEnemy1Event(i * 14, O.dart, "DartWave", 40 + side * 240, -16, ToFIXED(1, 40), 30, 0, -1)
  end
  AddTimeEvent(420, "CarrierEscort")
end

-- The carrier breaks up over two seconds: blasts at random points
-- (AddInstanceEvent hands each the carrier), then the end.
function CarrierDies(c)
  c.state, c.vel = 2, 0
  G.carrier_falling = true
  CancelBullets()
  FOSound(7, 1800)
  for i = 0, 13 do AddInstanceEvent(i * 9, "CarrierBlast", c) end
  AddInstanceEvent(130, "CarrierEnd", c)
end

function CarrierBlast(c)
  local x, y = GetX(c) + GetRand(-56, 57), GetY(c) + GetRand(-26, 30)
  if Mod(GetTime(), 2) == 0 then
    AddLayer3(O.explode_big, nil, x, y, ToFIXED(0, 30), 30, 0, 40)
    Sfx(4, SND.explode_big)
  else
    AddLayer3(O.explode, nil, x, y, ToFIXED(0, 50), GetRand(0, 120), 0, 30)
    SfxExplosion()
  end
  c.hit = FLASH_COLOUR
  G.flash = Max(G.flash, 3)
end

function CarrierEnd(c)
  local x, y = GetX(c), GetY(c)
  for i = 0, 5 do
    AddLayer3(O.explode_big, nil, x + GetDirX(i * 20, 30), y + GetDirY(i * 20, 22), ToFIXED(0, 70), i * 20, 0, 40)
  end
  Boom("big", x, y)
  G.flash = 16
  G.carrier = nil
  Dispose(c)  -- the turrets, its children, go with it
  G.carrier_falling = false
  AddTimeEvent(150, "StageClear")
end

-- --- Scripted moments -------------------------------------------------------------

function StartMusic()
  SetVol(7, 96)
  FISound(7, SND.music, -1, 2000, -1)
end

-- The warning before the carrier: text, siren and two hazard bands
-- crossing the screen (layer-3 spawn events, added from this event).
function Warning()
  G.warning_time = 170
  FOSound(7, 1200)
  Sfx(6, SND.warning)
  for i = 0, 14 do
    AddLayer3Event(0, O.warning, "Drift", -16 - i * 32, 96, ToFIXED(2, 0), 0, 0, 420)
    AddLayer3Event(0, O.warning, "Drift", 336 + i * 32, 150, ToFIXED(2, 0), 60, 0, 420)
  end
end

function StageClear()
  if G.over_time > 0 or G.clear_time > 0 then return end
  G.clear_time = 1
  Sfx(6, SND.item)
end
