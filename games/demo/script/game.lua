-- The play: player, shots, bomb, collisions, HUD and the play loop. This file
-- only defines functions and constants, so a replay file can run it again
-- (its first line is RunScript('game.lua')); stage1.lua sets a play up.
--
-- Determinism: a play depends only on the seed that stage1.lua gives
-- SetSeed and on the key bitmask of each frame, read through ReadKey (GetKey
-- while playing, GetRkey while replaying). Nothing iterates a table keyed by
-- instance handles where order could matter, and nothing reads the clock.

RunScript("enemies.lua")

START_LIVES = 3
START_BOMBS = 3
FLASH_COLOUR = 15        -- white: hit flashes
SHIELD_COLOUR = 189      -- pale blue: the blinking of a fresh ship
PLAYER_SPEED = ToFIXED(2, 25)

-- Per-instance data of scripted things, keyed by instance handle (handles
-- are stable, one per pool slot). Disposers remove entries; every play
-- starts with an empty table.
E = E or {}

-- The key of this frame: recorded while playing, replayed while replaying.
function ReadKey()
  if VAR_replay then
    return GetRkey()
  end
  local key = GetKey()
  SaveReplay(GetTime(), key)
  return key
end

-- The replayed key once more, through the IsR queries (the HUD's input
-- display shows the same thing in both modes).
function KeyLights(key)
  if VAR_replay then
    local dx, dy = 0, 0
    if IsRR() == 1 or IsRUR() == 1 or IsRDR() == 1 then dx = 1 end
    if IsRL() == 1 or IsRUL() == 1 or IsRDL() == 1 then dx = -1 end
    if IsRU() == 1 or IsRUL() == 1 or IsRUR() == 1 then dy = -1 end
    if IsRD() == 1 or IsRDL() == 1 or IsRDR() == 1 then dy = 1 end
    return dx, dy, IsRA() == 1, IsRX() == 1
  end
  local code = KeyCode(key)
  return KEY_DX[code], KEY_DY[code], KeyA(key), KeyX(key)
end

-- --- The player --------------------------------------------------------------

function SpawnPlayer(x, y)
  local p = AddLayer2(O.player, "PlayerUpdate", x, y, 0, 90, 2, -1)
  -- The exhaust is a child: it follows the ship and goes when the ship goes.
  local flame = AddLayer2(O.flame, nil, 0, 11, 0, 0, 0, -1)
  SetParent(flame, p)
  G.player, G.bank, G.bank_wait = p, 0, 0
  return p
end

function PlayerUpdate(p)
  if G.entering > 0 then
    -- A new ship rises from below the screen before it takes control.
    G.entering = G.entering - 1
    p.dir, p.vel = 90, ToFIXED(1, 50)
    if G.entering == 0 then p.vel = 0 end
  else
    local key, x, y = G.key, GetX(p), GetY(p)
    local code = KeyCode(key)
    local dx, dy = KEY_DX[code], KEY_DY[code]
    if (dx < 0 and x <= 10) or (dx > 0 and x >= 310) then dx = 0 end
    if (dy < 0 and y <= 26) or (dy > 0 and y >= 226) then dy = 0 end
    code = CodeOf(dx, dy)
    if code == 0 then
      p.vel = 0
    else
      p.dir, p.vel = (code - 1) * 15, PLAYER_SPEED
    end
    -- Banking eases towards the stick, one sprite every four frames.
    if G.bank_wait > 0 then
      G.bank_wait = G.bank_wait - 1
    elseif G.bank ~= dx * 2 then
      if G.bank < dx * 2 then G.bank = G.bank + 1 else G.bank = G.bank - 1 end
      G.bank_wait = 3
    end
    p.anim = G.bank + 2
    if G.shot_wait > 0 then G.shot_wait = G.shot_wait - 1 end
    if KeyA(key) and G.shot_wait == 0 then
      FireShots(x, y)
    end
    if KeyX(key) and not KeyX(G.last_key) and G.bombs > 0 and G.bomb_time == 0 then
      StartBomb(x, y)
    end
  end
  if G.invuln > 0 then
    G.invuln = G.invuln - 1
    if IsOdd() then p.hit = SHIELD_COLOUR end
  end
end

function FireShots(x, y)
  local fast = ToFIXED(8, 0)
  G.shot_wait = 5
  if G.power >= 4 then G.shot_wait = 4 end
  AddPBullet(O.shot, nil, x - 5, y - 6, fast, 90, 0, 60)
  AddPBullet(O.shot, nil, x + 5, y - 6, fast, 90, 0, 60)
  if G.power >= 2 then
    AddPBullet(O.plasma, nil, x - 9, y, ToFIXED(7, 0), 86, 0, 60)
    AddPBullet(O.plasma, nil, x + 9, y, ToFIXED(7, 0), 94, 0, 60)
  end
  if G.power >= 3 then
    AddPBullet(O.shot, nil, x, y - 12, fast, 90, 0, 60)
    AddPBullet(O.plasma, nil, x - 9, y, ToFIXED(7, 0), 80, 0, 60)
    AddPBullet(O.plasma, nil, x + 9, y, ToFIXED(7, 0), 100, 0, 60)
  end
  G.volley = G.volley + 1
  if Mod(G.volley, 2) == 1 then Sfx(0, SND.shot) end
end

function KillPlayer()
  local p = G.player
  if not p then return end
  local x, y = GetX(p), GetY(p)
  Boom("big", x, y)
  Sfx(4, SND.die)
  G.player = nil
  Dispose(p)  -- the exhaust, its child, goes with it
  print("demo: ship lost at frame " .. GetTime() .. " of the play")
  G.lives = G.lives - 1
  G.flash = 6
  if G.power > 1 then
    DropItem("power", x, y - 10)
    G.power = G.power - 1
  end
  if G.lives > 0 then
    G.respawn = 110
  else
    G.over_time = 1
    FOSound(7, 2500)
  end
end

-- CheckEBullet's callback: an enemy bullet reached the player.
function PlayerShot(bullet)
  KillPlayer()
end

-- CheckEnemy's callback: the player flew into an enemy.
function PlayerRammed(e)
  if e.state ~= 0 or not E[e] then return end  -- wrecks and dying ships are harmless
  KillPlayer()
  Hurt(e, 20)
end

-- --- The bomb ----------------------------------------------------------------

BOMB_FRAMES = 44

function StartBomb(x, y)
  G.bombs = G.bombs - 1
  G.bomb_time = BOMB_FRAMES
  -- The wave outlives the bomb's frames so its handle stays this wave's.
  G.wave = AddLayer3(O.wave, nil, x, y, 0, 0, 0, BOMB_FRAMES + 6)
  G.invuln = Max(G.invuln, 70)
  G.flash = 10
  Sfx(6, SND.bomb)
end

-- Once a frame while the bomb lasts: the ring eats every enemy bullet it
-- reaches (CheckEBullet takes one per call) and damages every enemy inside
-- its square (SetDamage calls "damage").
function BombTick()
  G.bomb_time = G.bomb_time - 1
  local w = G.wave
  if w then
    local r = 12 + (BOMB_FRAMES - G.bomb_time) * 19 / 10
    O.wave.size = r
    G.ate = true
    local calls = 0
    while G.ate and calls < 400 do
      G.ate = false
      CheckEBullet(w, "BombAte")
      calls = calls + 1
    end
    SetDamage(GetX(w) - r, GetY(w) - r, r * 2, r * 2)
  end
  if G.bomb_time == 0 then G.wave = nil end
end

function BombAte(bullet)
  G.ate = true
  G.score = G.score + 10
  if Mod(G.score / 10, 3) == 0 then
    AddLayer3(O.spark, nil, GetX(bullet), GetY(bullet), 0, 0, 0, 8)
  end
end

-- SetDamage's callback (the name is fixed): the bomb hurts an enemy.
function damage(e)
  Hurt(e, 3)
end

-- Turns every enemy bullet into points (when the carrier falls): one sweep
-- instance as large as the screen, and CheckEBullet until none is left.
function CancelBullets()
  local sweep = AddLayer3(O.sweep, nil, 160, 120, 0, 0, 0, 2)
  if not sweep then return end
  G.ate = true
  local calls = 0
  while G.ate and calls < 800 do
    G.ate = false
    CheckEBullet(sweep, "BombAte")
    calls = calls + 1
  end
  Dispose(sweep)
end

-- --- Hits ----------------------------------------------------------------------

-- The world update's callback for a player shot touching an enemy. A shot
-- that touches two enemies in one frame is reported twice; it hurts once.
function e_col(e, shot)
  if shot.state ~= 0 or e.state ~= 0 or not E[e] then return end
  shot.state = 1
  Dispose(shot)
  AddLayer3(O.spark, nil, GetX(shot), GetY(shot) - 4, 0, 0, 0, 8)
  Hurt(e, shot.hp)
end

function Hurt(e, amount)
  if e.state ~= 0 or not E[e] then return end
  e.hp = e.hp - amount
  G.hits = G.hits + 1
  G.score = G.score + 10
  -- The carrier is hit so often that it flashes only now and then.
  if E[e].type ~= "carrier" or Mod(G.hits, 6) == 0 then e.hit = FLASH_COLOUR end
  if Mod(G.hits, 4) == 1 then Sfx(1, SND.hit) end
  if e.hp <= 0 then Kill(e) end
end

-- --- Effects -------------------------------------------------------------------

function Boom(size, x, y)
  if size == "small" then
    AddLayer3(O.explode, nil, x, y, ToFIXED(0, 40), 30, 0, 30)
    SfxExplosion()
  elseif size == "medium" then
    AddLayer3(O.explode_big, nil, x, y, ToFIXED(0, 30), 30, 0, 40)
    AddLayer3(O.explode, nil, x + GetRand(-10, 11), y + GetRand(-10, 11), ToFIXED(0, 60), GetRand(0, 120), 0, 30)
    SfxExplosion()
  else
    AddLayer3(O.explode_big, nil, x, y, ToFIXED(0, 20), 30, 0, 40)
    for i = 0, 3 do
      AddLayer3(O.explode, nil, x + GetDirX(i * 30 + 15, 14), y + GetDirY(i * 30 + 15, 14),
                ToFIXED(0, 80), i * 30 + 15, 0, 30)
    end
    Sfx(4, SND.explode_big)
  end
end

-- Items fall slowly, swaying; the player collects them by flying near.
function DropItem(kind, x, y)
  local k = O.item_power
  if kind == "bomb" then k = O.item_bomb end
  local item = AddLayer3(k, "ItemUpdate", x, y, ToFIXED(0, 60), 30, 0, -1)
  if item then
    E[item] = { kind = kind }
    SetDisposer(item, "Forget")
  end
end

function ItemUpdate(item)
  item.dir = 30 + GetDirX(Mod(item.age * 2, 120), 12)
  if G.player and GetDist(item, G.player) < 16 * 16 then
    local d = E[item]
    if d and d.kind == "bomb" then
      G.bombs = Min(G.bombs + 1, 6)
    elseif G.power < 4 then
      G.power = G.power + 1
    else
      G.score = G.score + 1000
    end
    G.score = G.score + 500
    Sfx(1, SND.item)
    Dispose(item)
  elseif GetY(item) > 250 then
    Dispose(item)
  end
end

function Forget(i) E[i] = nil end

-- Background pieces that drift down and go once off the bottom.
function Drift(i)
  if GetY(i) > 330 then Dispose(i) end
end

function StarTile(t)
  if GetY(t) > 280 then SetY(t, GetY(t) - 320) end
end

function NearStar(s)
  if GetY(s) > 244 then
    SetY(s, -4)
    SetX(s, GetRand(0, 320))
  end
end

-- Star field: four by four far tiles, and single near stars that move
-- faster (parallax).
function MakeStarField(near)
  for row = 0, 3 do
    for col = 0, 3 do
      AddLayer0(O.stars, "StarTile", col * 80 + 40, row * 80 - 40, ToFIXED(0, 25), 30,
                GetRand(0, 4), -1)
    end
  end
  for i = 1, near do
    AddLayer1(O.nearstar, "NearStar", GetRand(0, 320), GetRand(0, 240), ToFIXED(1, GetRand(0, 80)),
              30, 0, -1)
  end
end

-- --- The frame -----------------------------------------------------------------

-- Everything of a play frame that happens after Update: input, respawn,
-- bomb, the player's collisions, timers.
function PlayTick()
  G.last_key = G.key
  G.key = ReadKey()
  G.frame = G.frame + 1
  if G.respawn > 0 then
    G.respawn = G.respawn - 1
    if G.respawn == 0 then
      -- A new ship comes in on a clean screen: every enemy bullet becomes points.
      CancelBullets()
      SpawnPlayer(160, 262)
      G.entering, G.invuln, G.bombs = 40, 200, Max(G.bombs, START_BOMBS)
    end
  end
  if G.bomb_time > 0 then BombTick() end
  if G.player and G.invuln == 0 then
    CheckEBullet(G.player, "PlayerShot")
    if G.player then CheckEnemy(G.player, "PlayerRammed") end
  end
  if G.over_time > 0 then
    G.over_time = G.over_time + 1
    if G.over_time > 260 then G.finished = true end
  end
  if G.clear_time > 0 then
    G.clear_time = G.clear_time + 1
    if G.clear_time == 90 then
      G.bonus = G.lives * 5000 + G.bombs * 1000
      G.score = G.score + G.bonus
    end
    if G.clear_time > 400 then G.finished = true end
  end
end

function PlayPalette()
  if G.fade_in > 0 then
    G.fade_in = G.fade_in - 1
    FadeIn(4)
    AdjustPalette()
  elseif G.flash > 0 then
    -- A white flash that fades back: the base palette pushed towards white.
    G.flash = G.flash - 1
    ResetPalette()
    FadeOutWhite(G.flash * 14)
    AdjustPalette()
  elseif G.fade_out > 0 then
    G.fade_out = G.fade_out - 1
    FadeOutBlack(6)
    AdjustPalette()
  end
  if (G.over_time > 212 or G.clear_time > 352) and G.fade_out == 0 then G.fade_out = 48 end
end

-- The HUD shows only what the play itself decides (no high score), so a
-- replay draws exactly the frames of the recorded play.
function DrawHud()
  Text(4, 3, "SCORE", S.font_dim)
  Text(38, 3, Digits(G.score, 7))
  for i = 1, G.lives - 1 do Draw(S.hud, 318 - i * 10, 3, 0) end
  for i = 1, G.bombs do Draw(S.hud, 318 - i * 10, 13, 1) end
  Text(4, 230, "POWER", S.font_dim)
  for i = 1, 4 do
    local seg = 3
    if i <= G.power then seg = 2 end
    Draw(S.hud, 28 + i * 8, 231, seg)
    Draw(S.hud, 30 + i * 8, 231, seg)
    Draw(S.hud, 32 + i * 8, 231, seg)
  end
  -- The input display: the stick and the two buttons (fire, bomb) of this
  -- frame's key, named by their keyboard keys.
  local dx, dy, a, x = KeyLights(G.key)
  Draw(S.hud, 284, 229, 7)
  Draw(S.hud, 284 + dx * 3, 229 + dy * 3, 5)
  if a then Text(300, 230, "Z", S.font_hi) else Text(300, 230, "Z", S.font_dim) end
  if x then Text(308, 230, "X", S.font_hi) else Text(308, 230, "X", S.font_dim) end
  if G.carrier and E[G.carrier] then
    local left = G.carrier.hp * 60 / GetHP(G.carrier)
    Text(88, 14, "CARRIER", S.font_dim)
    for i = 0, 59 do
      local seg = 3
      if i < left then seg = 4 end
      Draw(S.hud, 132 + i * 2, 14, seg)
    end
  end
  local t = GetTime()
  if t > 20 and t < 200 then
    Centre(84, "STAGE 1", S.font_big, true)
    Centre(106, "THE PALE MOON", S.font)
  end
  if G.warning_time > 0 then
    G.warning_time = G.warning_time - 1
    if Mod(G.warning_time, 24) < 16 then Centre(112, "WARNING", S.font_big, true) end
    Centre(134, "A CARRIER IS CLOSING IN", S.font)
  end
  if G.over_time > 30 then
    Centre(108, "GAME OVER", S.font_big, true)
  end
  if G.clear_time > 0 then
    Centre(92, "STAGE CLEAR", S.font_big, true)
    if G.clear_time > 90 then
      Centre(120, "BONUS " .. G.bonus, S.font_hi)
      Centre(132, "THANK YOU FOR PLAYING", S.font)
    end
  end
  if G.quit_hold > 0 then Centre(210, "HOLD START TO QUIT", S.font_dim) end
  if G.attract and Mod(t, 80) < 56 then Centre(196, "DEMO PLAY - PRESS ANY KEY", S.font_hi) end
end

-- One play, from the frame after stage1.lua (or a replay file) set it up to
-- the end of the game. Returns true when the play ran to its end.
function PlayGame()
  if VAR_replay then G.lives = VAR_life or START_LIVES end
  SetPalette(0, 0, 0)
  AdjustPalette()
  print("demo: play starts at frame " .. (PRESENTED + 1))
  local completed = true
  while not G.finished do
    Update()
    PlayTick()
    DrawHud()
    PlayPalette()
    Show()
    -- Leaving early: Start held for a second while playing, Y or Start
    -- while watching a replay. Neither is part of the recorded key.
    if VAR_replay then
      if IsY() == 1 or IsStart() == 1 or (G.attract and GetKey() ~= 0) then completed = false break end
    elseif IsStart() == 1 then
      G.quit_hold = G.quit_hold + 1
      if G.quit_hold > 60 then completed = false break end
    else
      G.quit_hold = 0
    end
  end
  print("demo: play ends at frame " .. PRESENTED .. " with score " .. G.score)
  for channel = 0, 6 do StopSound(channel) end
  return completed
end
