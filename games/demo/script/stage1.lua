-- Stage 1, "The Pale Moon": sets up one play and queues the stage on the
-- timeline. start.lua runs it right before a play, and every replay file runs
-- it (its second line) before queuing the recorded keys, so a recorded play
-- and its replay start alike: right after ClearEvent (frame counter 0), with
-- the same seed and the same state.

ClearInstance()
ClearEvent()
SetSeed(1969)
E = {}
G = {
  score = 0, lives = START_LIVES, bombs = START_BOMBS, power = 1,
  key = 0, last_key = 0, frame = 0, volley = 0, hits = 0, darts = 0,
  respawn = 0, entering = 40, invuln = 120, shot_wait = 0, bank = 0, bank_wait = 0,
  bomb_time = 0, ate = false, flash = 0, fade_in = 64, fade_out = 0,
  over_time = 0, clear_time = 0, bonus = 0, warning_time = 0, quit_hold = 0,
  finished = false, carrier_falling = false,
}

MakeStarField(18)
SpawnPlayer(160, 262)

-- Shorthands for the spawn events; times are frames from now (0).
local function Fighter(t, updater, x, y, vel, dir, anim)
  AddEnemy1Event(t, O.dart, updater, x, y, vel, dir, anim or 0, -1)
end
local function Slow(t)
  return ToFIXED(1, 40 + Mod(t, 5) * 10)
end

AddTimeEvent(1, "StartMusic")

-- Background: nebulae in the far layer (drawn beneath the star tiles, which
-- are older), the moon in layer 1, rocks in layer 2, between the big ships
-- and the fighters.
for i = 0, 8 do
  AddLayer0Event(i * 560, O.nebula, "Drift", GetRand(40, 281), -50 + (i == 0 and 110 or 0),
                 ToFIXED(0, 30), 30, Mod(i, 3), -1)
end
AddLayer1Event(20, O.moon, "Drift", 248, -52, ToFIXED(0, 9), 30, 0, -1)
for i = 0, 9 do
  AddLayer2Event(1120 + i * 70, O.rock, "RockUpdate", GetRand(20, 301), -14,
                 ToFIXED(0, GetRand(45, 95)), GetRand(28, 33), Mod(i, 2), -1)
end

-- Opening: a V of diving darts, then two snaking files.
Fighter(120, "DartDive", 160, -16, ToFIXED(1, 80), 30)
Fighter(130, "DartDive", 130, -16, ToFIXED(1, 80), 30)
Fighter(130, "DartDive", 190, -16, ToFIXED(1, 80), 30)
Fighter(140, "DartDive", 100, -16, ToFIXED(1, 80), 30)
Fighter(140, "DartDive", 220, -16, ToFIXED(1, 80), 30)
for i = 0, 5 do Fighter(330 + i * 14, "DartWave", 80, -16, ToFIXED(1, 50), 30) end
for i = 0, 5 do Fighter(470 + i * 14, "DartWave", 240, -16, ToFIXED(1, 50), 30) end
for i = 0, 2 do
  Fighter(640 + i * 30, "DartTurn", 70, -16, ToFIXED(1, 60), 30)
  Fighter(655 + i * 30, "DartTurn", 250, -16, ToFIXED(1, 60), 30)
end

-- Spinners, and darts diving in from the sides.
AddEnemy1Event(780, O.spinner, "SpinnerUpdate", 100, -20, ToFIXED(2, 50), 30, 0, -1)
AddEnemy1Event(880, O.spinner, "SpinnerUpdate", 220, -20, ToFIXED(2, 50), 30, 0, -1)
for i = 0, 3 do
  Fighter(1000 + i * 24, "DartDive", 30, -16, Slow(i), 38)
  Fighter(1012 + i * 24, "DartDive", 290, -16, Slow(i), 22)
end

-- Gunships among rocks, then mines.
AddEnemy0Event(1200, O.gunship, "GunshipUpdate", 96, -24, ToFIXED(0, 90), 30, 0, -1)
AddEnemy0Event(1330, O.gunship, "GunshipUpdate", 224, -24, ToFIXED(0, 90), 30, 0, -1)
for i = 0, 5 do
  AddEnemy1Event(1460 + i * 45, O.mine, "MineUpdate", GetRand(30, 291), -12, ToFIXED(0, 90), 30,
                 Mod(i, 2), 900)
end
for i = 0, 4 do
  Fighter(1560 + i * 12, "DartWave", 50, -16, ToFIXED(1, 60), 30)
  Fighter(1566 + i * 12, "DartWave", 270, -16, ToFIXED(1, 60), 30)
end

-- Everything at once.
AddEnemy1Event(1800, O.spinner, "SpinnerUpdate", 80, -20, ToFIXED(2, 50), 30, 0, -1)
AddEnemy1Event(1800, O.spinner, "SpinnerUpdate", 240, -20, ToFIXED(2, 50), 30, 0, -1)
for i = 0, 5 do
  Fighter(1960 + i * 16, "DartTurn", 40 + i * 48, -16, ToFIXED(1, 70), 30)
end
AddEnemy0Event(2100, O.gunship, "GunshipUpdate", 160, -24, ToFIXED(0, 90), 30, 0, -1)
for i = 0, 1 do
  AddEnemy1Event(2160 + i * 60, O.mine, "MineUpdate", 60 + i * 200, -12, ToFIXED(0, 90), 30, i, 900)
end
Fighter(2250, "DartDive", 160, -16, ToFIXED(1, 90), 30)
Fighter(2258, "DartDive", 120, -16, ToFIXED(1, 90), 30)
Fighter(2258, "DartDive", 200, -16, ToFIXED(1, 90), 30)

-- The carrier.
AddTimeEvent(2420, "Warning")
AddTimeEvent(2620, "SpawnCarrier")
