-- Driven by devkeys_test.py in a window: every frame has its own colour (so
-- each recorded frame is unique), and the frame count, A presses and the
-- state's freshness are printed and flushed at once. With a file "busy" in
-- the game folder it loops without ever reaching a frame; with "stuck" it
-- stays inside one pattern match that would take hours.
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
local n = 0
while true do
  n = n + 1
  SetPalette(n % 256, (n - n % 256) / 256 % 256, 77)
  AdjustPalette()
  Update()
  io.write("frame ", n, IsA() ~= 0 and " A" or "", "\n")
  io.stdout:flush()
  Present()
end
