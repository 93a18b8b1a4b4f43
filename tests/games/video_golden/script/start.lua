-- Golden frames of the video core: sprites clipped on every edge, blended
-- pixels (whole and clipped), text with line feeds, spaces, a missing glyph
-- and a count limit, and a fade in from black. The sprite file is written
-- here, then loaded like any game's.
RunScript("testlib.lua")
-- Colours of the test palette (3-3-2: red bits 5-7, green 2-4, blue 0-1).
local colour = { r = 224, g = 28, b = 3, w = 255, y = 252, c = 31, m = 227, k = 0 }
local function sprite(rows, level, width) return TestLib.Sprite(rows, colour, level, width) end

local sprites = {}
sprites[1] = sprite({ "......", "......", "......", "......", "......", "......", "......", "......" })
for i = 2, 67 do sprites[i] = sprite({}) end
sprites[2] = sprite({              -- a ship: opaque, holes, trailing transparency
  "....ww....",
  "...wrrw...",
  "..wrRRrw..",
  ".wrrrrrrw.",
  "wwy.yy.yww",
  "b..b..b..b",
}, 1)
local m, c = string.rep("M", 12), string.rep("C", 12)
sprites[3] = sprite({ m, m, m, c, c, c }, 2)
sprites[4] = sprite({ "gggg", "g..g", "gGGg", "gggg" }, 0)
sprites[10] = sprite({ "cc", "cc" })                             -- tab: glyph 9
sprites[33] = sprite({ "mmm", "mmm" })                           -- space: never drawn
sprites[66] = sprite({ ".yy.", "y..y", "yyyy", "y..y", "y..y" })   -- A
sprites[67] = sprite({ "ccc.", "c..c", "ccc.", "c..c", "ccc." })   -- B
TestLib.WriteSpriteSet("golden.spr", sprites)

-- Script-facing failures: each a script error naming the function.
TestLib.WriteSpriteSet("bad.spr", {sprite({ "r" }, 0, 0)})   -- a run past the width
local E = TestLib.ExpectError
E("LoadSpriteSet: bad.spr: sprite 0: row 0: a run passes", LoadSpriteSet, "bad.spr")
E("LoadSpriteSet: none.spr: cannot open", LoadSpriteSet, "none.spr")
local set = LoadSpriteSet("golden.spr")
E("Draw: index 67 is outside the set (67 sprites)", Draw, set, 0, 0, 67)
E("SpriteHeight: index -1 is outside the set (67 sprites)", SpriteHeight, set, -1)
assert(SpriteCount(set) == 67 and SpriteWidth(set, 1) == 10 and SpriteHeight(set, 1) == 6)
-- The pen as DrawFont moves it: "A z B" (4 + 6 + 6 + 6 + 4, z a space) is the wider line.
assert(TextWidth(set, "AB BA\nA z B") == 26 and TextHeight(set, "AB BA\nA z B") == 16)
assert(TextWidth(set, "") == 0 and TextHeight(set, "") == 8)
E("Draw: the sprite set is nil", Draw, nil, 0, 0, 1)
E("Draw: index -1 is outside the set (67 sprites)", Draw, set, 0, 0, -1)
TestLib.WriteSpriteSet("empty.spr", {})
E("DrawFont: the font has no sprite 0 (it is empty)", DrawFont, LoadSpriteSet("empty.spr"), 0, 0, "A", -1)
local spare = LoadSpriteSet("golden.spr")
spare:Release()
E("Release: the sprite set was released", spare.Release, spare)
E("DrawFont: the sprite set was released", DrawFont, spare, 0, 0, "A", -1)

-- Nothing reaches the screen's palette but AdjustPalette, and it starts black: frame 1 is black.
Draw(set, 100, 100, 1)
ResetPalette() FadeIn(4) FadeOutWhite(9) SetPalette(9, 9, 9)
Present()

-- Frames: the palette fades in from black over the run; sprites cross the
-- edges by a few more pixels each frame.
SetPalette(0, 0, 0)
AdjustPalette()
local frame = 0
while true do
  Update()
  frame = frame + 1
  -- video_record_fails records into gone/, which goes here.
  if frame == 2 then os.execute("rm -rf '" .. string.gsub(GetScriptPath(""), "script/$", "gone'")) end
  FadeIn(40)
  AdjustPalette()
  local d, e = frame, Mod(frame, 6)
  Draw(set, -d, 20, 1)              -- left edge
  Draw(set, 320 - 10 + d, 40, 1)    -- right edge
  Draw(set, 100, -e, 1)             -- top edge
  Draw(set, 150, 240 - 6 + e, 1)    -- bottom edge
  for i = 0, 5 do Draw(set, 60 + i * 30, 100, 1) end
  Draw(set, 55 + d * 12, 98, 2)     -- blended over the row of ships
  Draw(set, -6, 200, 2)             -- blended and clipped
  Draw(set, 200, 60, 3)
  DrawFont(set, 40, 150, "AB BA\nA z B", -1)   -- z: no glyph, a space's width
  DrawFont(set, 310, 170, "ABABAB", 4)         -- runs off the right edge
  DrawFont(set, 40, 190, "A\tB", -1)           -- a tab is glyph 9
  DrawFont(set, 80, 190, " AB", 2)              -- the space counts
  DrawFont(set, 120, 190, "", -1) DrawFont(set, 120, 190, nil, -1) DrawFont(set, 120, 190, "AB", 0)
  DrawFont(set, 2147483644, 2147483644, string.rep("A", 1000), -1) DrawFont(set, -2147483648, 0, "AA\nAA", -1)
  Present()
end
