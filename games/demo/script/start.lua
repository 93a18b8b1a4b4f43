-- The lunashot demo: a short vertical shooter. This file runs first; it
-- loads everything, then loops over the title menu until the player picks
-- QUIT, and returns, which ends the program.
--
--   lib.lua      helpers (integer arithmetic, text, keys, sound channels)
--   res.lua      sprite sets, object kinds, sounds
--   game.lua     the play: player, shots, bomb, collisions, HUD, play loop
--   enemies.lua  enemy types, updaters, bullet patterns, the carrier
--   stage1.lua   sets up one play and queues the stage on the timeline
--   menus.lua    title, replay list, result screen, saving replays
--
-- Replay files run game.lua and stage1.lua again, then queue their keys.

RunScript("lib.lua")
RunScript("res.lua")
RunScript("game.lua")
RunScript("menus.lua")

VAR_replay = false
HISCORE = BestReplayScore()
print("demo: scripts in " .. GetScriptPath("") .. ", " .. #ListReplays() .. " replays, high score " .. HISCORE)
-- Read the buttons once before the first frame, so that a button held while
-- the game starts does not count as a press on the title screen.
JoystickUpdate()

while true do
  local choice = TitleScreen()
  if choice == "start" then
    NewGame()
  elseif choice == "replays" then
    ReplayMenu()
  elseif choice == "attract" then
    AttractMode()
  else
    break
  end
end

FreeResources()
print("demo: goodbye")
