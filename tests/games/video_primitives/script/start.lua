-- Golden frames of the drawing primitives: each shape across the screen's
-- edges and corners, clipped, in frame 1 opaque (blend absent or nil) and in
-- frames 2 to 4 at blend levels 0, 1 and 2 over stripes of colour, drawn in
-- call order with a sprite and text; shapes too large to walk end at once.
RunScript("testlib.lua")
local E = TestLib.ExpectError
E("DrawLine: blend must be 0, 1 or 2 (a blend level), got 3", DrawLine, 0, 0, 9, 9, 5, 3)
E("DrawPixel: blend must be 0, 1 or 2 (a blend level), got a string", DrawPixel, 1, 1, 5, "1")
E("FillRect: colour must be a palette index, 0 to 255, got 256", FillRect, 0, 0, 9, 9, 256)
E("SetClearColour: colour must be a palette index, 0 to 255, got -1", SetClearColour, -1)

TestLib.WriteSpriteSet("prims.spr", {
  TestLib.Sprite({ "..ww..", ".wbbw.", "wbbbbw", ".wbbw.", "..ww.." }, { w = 255, b = 3 }),
  TestLib.Box(4, 6, 252),
})
local set = LoadSpriteSet("prims.spr")
ResetPalette()
AdjustPalette()
SetClearColour(73)
local blends = { nil, 0, 1, 2 }
for frame = 1, 4 do
  Update()
  local b = blends[frame]
  FillCircle(160, -2000000000, 2000000040, 3, b)  -- a huge disc's bottom rows
  DrawCircle(160, 2147483000, 2147483000, 28)      -- a huge circle's top row
  for i = 0, 7 do FillRect(i * 40, 60, 40, 120, i * 33 + 18) end  -- what blends mix with
  DrawPixel(0, 0, 255, b) DrawPixel(319, 239, 255, b) DrawPixel(-1, 5, 255, b) DrawPixel(320, 5, 255, b)
  DrawLine(-40, 10, 60, 70, 224, b)            -- across the left edge
  DrawLine(330, 100, 250, 20, 28, b)           -- across the right edge, right to left
  DrawLine(150, -10, 170, 250, 255, b)         -- steep, through top and bottom
  DrawLine(-2147483647, 200, 2147483647, 230, 252) -- huge, one pixel a column
  DrawRect(100, -5, 30, 20, 227, b)            -- across the top
  FillRect(140, 230, 30, 20, 31, b)            -- across the bottom
  DrawRect(300, 150, 40, 40, 255, b)           -- across the right edge
  DrawRect(10, 200, 0, 9, 255) FillRect(20, 200, 9, -1, 255)  -- nothing
  DrawRect(30, 200, 1, 1, 255, b) DrawRect(40, 200, 1, 6, 255, b) DrawRect(50, 200, 6, 1, 255, b)
  DrawCircle(-5, 120, 30, 252, b)              -- across the left edge
  FillCircle(322, 60, 25, 224, b)              -- across the right edge and the corner above
  DrawCircle(200, 120, 0, 255, b)              -- one pixel
  FillCircle(240, 120, 10, 31, b) DrawCircle(240, 120, 10, 255, b)
  Draw(set, 60, 120, 0)                         -- in call order: sprite, rectangle, text
  FillRect(63, 118, 10, 5, 227, b)
  DrawFont(set, 64, 121, "\1 \1", -1)           -- glyph 1, a space (sprite 0's width), glyph 1
  Present()
end
