-- The screens around a play: title and main menu, the replay list, the
-- result screen; starting a game, saving its replay, watching a replay.
-- Menus read the live key bitmask (GetKey) through MenuKeys.

REPLAY_PREFIX_PATTERN = "^R(%d+)%-(%d+)_stage1%.lua$"
MAX_REPLAYS = 20

-- The replay files, oldest first: { name, num, score }. Other files in the
-- replay folder (such as .keep) are left out. Ordered by number, not by name
-- as the engine lists them: R1000 comes after R999.
function ListReplays()
  local list = {}
  local n = GetReplayFiles()
  for i = 0, n - 1 do
    local name = GetReplayFile(i)
    local _, _, num, score = string.find(name or "", REPLAY_PREFIX_PATTERN)
    if num then
      local r, at = { name = name, num = tonumber(num), score = tonumber(score) }, #list + 1
      while at > 1 and list[at - 1].num > r.num do list[at] = list[at - 1] at = at - 1 end
      list[at] = r
    end
  end
  return list
end

function BestReplayScore()
  local best = 0
  local list = ListReplays()
  for i = 1, #list do best = Max(best, list[i].score) end
  return best
end

-- Saves the play just finished as R<number>-<score>_stage1.lua; keeps the
-- newest MAX_REPLAYS. Returns the number, or nil when it could not be saved.
-- The oldest are deleted only once the new one is saved, so a failed save
-- (a full disk) loses nothing.
function SaveThisReplay()
  local list = ListReplays()
  local num = 1
  for i = 1, #list do
    if list[i].num >= num then num = list[i].num + 1 end
  end
  local prefix = "R" .. Digits(num, 3) .. "-" .. Digits(G.score, 7)
  local ok, err = pcall(SaveReplayFile, prefix, "game.lua", "stage1.lua", START_LIVES, G.score)
  if not ok then
    print("demo: the replay was not saved: " .. tostring(err))
    return nil
  end
  print("demo: saved replay " .. prefix .. "_stage1.lua")
  list = ListReplays()
  for i = 1, #list - MAX_REPLAYS do Remove(GetReplayPath(list[i].name)) end
  return num
end

-- A quiet backdrop for the menus: far stars, a nebula and the moon.
function MenuBackdrop()
  ClearInstance()
  ClearEvent()
  E = {}
  AddLayer0(O.nebula, nil, 90, 70, 0, 0, 0, -1)
  AddLayer0(O.nebula, nil, 240, 190, 0, 0, 2, -1)
  MakeStarField(14)
  AddLayer1(O.moon, nil, 262, 182, 0, 0, 0, -1)
end

-- Runs a menu screen: `draw(t)` draws it each frame, `input()` returns a
-- result to leave with (after a fade to black), or nil to stay.
function RunScreen(draw, input, fade_in)
  MenuKeys:Reset()
  if fade_in then
    SetPalette(0, 0, 0)
    AdjustPalette()
  end
  local fade, leaving, result, t = 64, 0, nil, 0
  while true do
    Update()
    t = t + 1
    draw(t)
    if fade_in and fade > 0 then
      fade = fade - 1
      FadeIn(4)
      AdjustPalette()
    end
    if leaving > 0 then
      FadeOutBlack(8)
      AdjustPalette()
      leaving = leaving - 1
    end
    Show()
    if leaving == 1 then return result end
    if leaving == 0 then
      result = input(t)
      if result then leaving = 33 end
    end
  end
end

-- Title and main menu: "start", "replays" or "quit".
function TitleScreen()
  MenuBackdrop()
  SetVol(7, 60)
  FISound(7, SND.music, -1, 2500, -1)
  local items = { { "START GAME", "start" }, { "REPLAYS", "replays" }, { "QUIT", "quit" } }
  local choice = 1
  local start_held = IsStart() == 1
  local function draw(t)
    Draw(S.logo, 42, 34 + GetDirY(Mod(t, 120), 3), 0)
    Centre(94, "A SHOOTER FOR THE LUNASHOT ENGINE", S.font_dim)
    Centre(10, "HI-SCORE " .. Digits(HISCORE, 7), S.font_hi)
    for i = 1, #items do
      local y = 128 + (i - 1) * 20
      if i == choice then
        Centre(y - 4, items[i][1], S.font_big, true)
        if Mod(t, 30) < 20 then
          Draw(S.hud, 160 - TextWidth(items[i][1], true) / 2 - 18, y, 0)
          Draw(S.hud, 160 + TextWidth(items[i][1], true) / 2 + 8, y, 0)
        end
      else
        Centre(y, items[i][1], S.font)
      end
    end
    Centre(210, "ARROWS: MOVE   Z: FIRE   X: BOMB", S.font_dim)
    Centre(222, "Z OR RETURN: SELECT", S.font_dim)
  end
  local replays = #ListReplays()
  local function input(t)
    local up, down, a = MenuKeys:Read()
    local start = IsStart() == 1 and not start_held
    start_held = IsStart() == 1
    -- Left alone for half a minute, the title plays the best replay.
    if t > 1900 and replays > 0 then
      FOSound(7, 500)
      return "attract"
    end
    if up then choice = Mod(choice + #items - 2, #items) + 1 Sfx(6, SND.move) end
    if down then choice = Mod(choice, #items) + 1 Sfx(6, SND.move) end
    if a or start then
      Sfx(6, SND.select)
      FOSound(7, 500)
      return items[choice][2]
    end
  end
  return RunScreen(draw, input, true)
end

-- The list of saved replays: watch (A), delete (X twice), back (Y or the
-- last entry). On screen the buttons go by their keyboard keys: Z is A, C
-- is Y.
function ReplayMenu()
  local list, choice, confirm, first = ListReplays(), 1, false, 1
  local message, message_time = nil, 0
  local fade = true
  while true do
    MenuBackdrop()
    local function draw(t)
      Centre(14, "REPLAYS", S.font_big, true)
      if #list == 0 then Centre(70, "NO REPLAYS YET: PLAY A GAME FIRST", S.font_dim) end
      if #list > 0 then Text(70, 38, "NO.     SCORE", S.font_dim) end
      -- Newest first, ten rows at a time.
      if choice < first then first = choice end
      if choice > first + 9 then first = choice - 9 end
      for row = 0, 9 do
        local i = first + row
        if i > #list then break end
        local r = list[#list + 1 - i]
        local line = Digits(r.num, 3) .. "   " .. Digits(r.score, 7)
        if i == choice then
          Text(58, 52 + row * 12, ">", S.font_hi)
          Text(70, 52 + row * 12, line, S.font_hi)
        else
          Text(70, 52 + row * 12, line, S.font)
        end
      end
      if choice == #list + 1 then Text(58, 176, ">", S.font_hi) Text(70, 176, "BACK", S.font_hi)
      else Text(70, 176, "BACK", S.font) end
      if confirm then Centre(194, "PRESS X AGAIN TO DELETE IT", S.font_hi)
      elseif message_time > 0 then message_time = message_time - 1 Centre(194, message, S.font_hi) end
      Centre(212, "Z: WATCH   X: DELETE   C: BACK", S.font_dim)
      Centre(224, "WHILE WATCHING, C STOPS THE REPLAY", S.font_dim)
    end
    local y_held = IsY() == 1
    local function input()
      local up, down, a, x = MenuKeys:Read()
      local y = IsY() == 1 and not y_held
      y_held = IsY() == 1
      local entries = #list + 1
      if up then choice = Mod(choice + entries - 2, entries) + 1 confirm = false Sfx(6, SND.move) end
      if down then choice = Mod(choice, entries) + 1 confirm = false Sfx(6, SND.move) end
      if y or (a and choice == entries) then Sfx(6, SND.select) return "back" end
      if a then Sfx(6, SND.select) return list[#list + 1 - choice] end
      if x and choice < entries then
        if confirm then
          local r = list[#list + 1 - choice]
          if Remove(GetReplayPath(r.name)) == 0 then
            message = "DELETED REPLAY " .. Digits(r.num, 3)
          else
            message = "COULD NOT DELETE " .. r.name
          end
          message_time = 120
          Sfx(6, SND.explode)
          confirm = false
          list = ListReplays()
          choice = Min(choice, #list + 1)
        else
          confirm = true
          Sfx(6, SND.move)
        end
      end
    end
    local picked = RunScreen(draw, input, fade)
    fade = true
    if picked == "back" then return end
    WatchReplay(picked)
    list = ListReplays()
  end
end

-- The title's demo play: the replay with the best score that plays, until
-- a key. Replays that cannot be played are skipped.
function AttractMode()
  local list, tried = ListReplays(), {}
  while true do
    local best = nil
    for i = 1, #list do
      if not tried[i] and (not best or list[i].score > list[best].score) then best = i end
    end
    if not best then return end
    tried[best] = true
    if WatchReplay(list[best], true) then return end
  end
end

-- Plays a replay file back: it runs game.lua and stage1.lua, sets
-- VAR_replay, VAR_life and VAR_score, and queues its keys with rep().
-- As the title's demo play (attract), any key ends it and no result follows.
-- False when the file could not be played (the engine reported why).
function WatchReplay(r, attract)
  VAR_replay, VAR_life, VAR_score = false, nil, nil
  local ok, err = pcall(RunReplay, r.name)
  if not ok or not VAR_replay then
    print("demo: replay " .. r.name .. " did not run" .. (ok and "" or ": " .. tostring(err)))
    VAR_replay = false
    return false
  end
  if attract then
    G.attract = true
    PlayGame()
    VAR_replay = false
    return true
  end
  local finished = PlayGame()
  print("demo: replay " .. r.name .. " ended with score " .. G.score .. ", recorded " ..
        tostring(VAR_score))
  if finished then
    local lines = { "REPLAY " .. Digits(r.num, 3) .. " FINISHED", "SCORE " .. Digits(G.score, 7) }
    if G.score ~= VAR_score then lines[3] = "(RECORDED " .. Digits(VAR_score or 0, 7) .. ")" end
    ResultScreen(lines)
  end
  VAR_replay = false
  return true
end

-- A new game: stage1.lua sets the play up, PlayGame runs it, and a play that
-- ran to its end is saved as a replay.
function NewGame()
  VAR_replay = false
  RunScript("stage1.lua")
  if not PlayGame() then return end
  local heading = "GAME OVER"
  if G.clear_time > 0 then heading = "STAGE CLEAR" end
  local best = G.score > HISCORE
  HISCORE = Max(HISCORE, G.score)
  local num = SaveThisReplay()
  local lines = { heading, "SCORE " .. Digits(G.score, 7) }
  if best then lines[3] = "A NEW HIGH SCORE!" end
  if num then lines[#lines + 1] = "SAVED AS REPLAY " .. Digits(num, 3) end
  ResultScreen(lines)
end

-- Shows a few lines (the first in the large font) until A or Start, or for
-- at most ten seconds.
function ResultScreen(lines)
  MenuBackdrop()
  local start_held = IsStart() == 1
  local function draw(t)
    Centre(70, lines[1], S.font_big, true)
    for i = 2, #lines do Centre(84 + i * 14, lines[i], i == 2 and S.font or S.font_hi) end
    if Mod(t, 40) < 28 then Centre(190, "PRESS Z", S.font_dim) end
  end
  local function input(t)
    local _, _, a = MenuKeys:Read()
    local start = IsStart() == 1 and not start_held
    start_held = IsStart() == 1
    if a or start or t > 625 then return "done" end
  end
  RunScreen(draw, input, true)
end
