-- Driven by devkeys_test.py in a window: every frame has its own colour (so
-- each recorded frame is unique), and the frame count, A presses and the
-- state's freshness are printed and flushed at once. With a file "busy" in
-- the game folder it loops without ever reaching a frame; with "stuck" it
-- stays inside one pattern match that would take hours; with "mistakes"
-- it makes, every frame, the mistakes the engine passes over silently.
if io.open("busy") then
  print("busy")
  while true do end
end
if io.open("stuck") then
  print("stuck")
  io.stdout:flush()
  while true do pcall(string.find, string.rep("a", 40), string.rep("a*", 30) .. "b") end
end
io.write("start fresh=", tostring(rawget(_G, "seen") == nil), "\n")
seen = true
local thing
if io.open("mistakes") then
  local f = io.open("sprite/empty.spr", "wb")
  f:write("\0\0")
  f:close()
  local kind = NewObject()
  kind:SetSpriteSet(LoadSpriteSet("empty.spr"))
  kind:SetAnimSize(1)
  thing = AddLayer0(kind, nil, 10, 10, 6, 0, 0, -1)
end
local n = 0
while true do
  if thing then
    PlaySound(0, nil, 0, -1)
    thing.vel = 6
  end
  n = n + 1
  SetPalette(n % 256, (n - n % 256) / 256 % 256, 77)
  AdjustPalette()
  Update()
  io.write("frame ", n, IsA() ~= 0 and " A" or "", "\n")
  io.stdout:flush()
  Present()
end
