-- Driven by desktop_test.py in a window: a still picture with single-pixel
-- detail on a grey clear colour, in the palette's own colours (so the
-- window's scaling can be checked against a recorded frame), and each frame's buttons printed as
-- "N A X Y Start U D L R" (only the pressed ones, only when one is).
SetClearColour(0x92)
ResetPalette()
AdjustPalette()
local names = {{"A", IsA}, {"X", IsX}, {"Y", IsY}, {"Start", IsStart},
               {"U", IsU}, {"D", IsD}, {"L", IsL}, {"R", IsR}}
local n = 0
while true do
  n = n + 1
  Update()
  local line = ""
  for _, b in ipairs(names) do
    if b[2]() ~= 0 then line = line .. " " .. b[1] end
  end
  if line ~= "" then
    io.write(n, line, "\n")
    io.stdout:flush()
  end
  for y = 0, 23 do
    for x = 0, 31 do DrawPixel(140 + x, 100 + y, (x * 7 + y * 13) % 256) end
  end
  DrawPixel(0, 0, 255)
  DrawPixel(319, 239, 0xe0)
  FillRect(10, 200, 50, 3, 0x1c)
  Present()
end
