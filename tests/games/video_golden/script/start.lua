-- Golden frames of the video core: sprites clipped on every edge, blended
-- pixels (whole and clipped), text with line feeds, spaces, a missing glyph
-- and a count limit, and a fade in from black. The sprite file is written
-- here, then loaded like any game's.

local function le16(n) return string.char(Mod(n, 256), Mod(n / 256, 256)) end
local function le32(n) return le16(Mod(n, 65536)) .. le16(n / 65536) end

-- Colours of the test palette (3-3-2: red bits 5-7, green 2-4, blue 0-1).
local colour = { r = 224, g = 28, b = 3, w = 255, y = 252, c = 31, m = 227, k = 0 }

-- A row from a pattern: '.' transparent, a lower-case letter an opaque
-- pixel, an upper-case letter a blended pixel of that colour at `level`.
local function kind(ch)
  if ch == "." then return 0 end
  if string.find(ch, "%l") then return 1 end
  return 2
end

local function row(pattern, level)
  local runs, i, n = "", 1, string.len(pattern)
  while n > 0 and string.sub(pattern, n, n) == "." do n = n - 1 end
  while i <= n do
    local k, j = kind(string.sub(pattern, i, i)), i
    while j <= n and kind(string.sub(pattern, j, j)) == k do j = j + 1 end
    local count = j - i
    if k == 0 then runs = runs .. le16(32768 + count)
    elseif k == 1 then
      runs = runs .. le16(count)
      for p = i, j - 1 do runs = runs .. string.char(colour[string.sub(pattern, p, p)]) end
    else
      runs = runs .. le16(16384 + count)
      for p = i, j - 1 do
        runs = runs .. string.char(colour[string.lower(string.sub(pattern, p, p))], level)
      end
    end
    i = j
  end
  return le16(string.len(runs)) .. runs
end

local function sprite(rows, level, width)
  local data, height, widest = "", 0, 0
  for _, r in ipairs(rows) do
    data = data .. row(r, level or 0)
    height = height + 1
    if string.len(r) > widest then widest = string.len(r) end
  end
  width = width or widest
  return le32(width) .. le32(height) .. le32(string.len(data)) .. data
end

local sprites = {}
sprites[0] = sprite({ "......", "......", "......", "......", "......", "......", "......", "......" })
for i = 1, 67 do sprites[i] = sprite({}) end
sprites[1] = sprite({              -- a ship: opaque, holes, trailing transparency
  "....ww....",
  "...wrrw...",
  "..wrRRrw..",
  ".wrrrrrrw.",
  "wwy.yy.yww",
  "b..b..b..b",
}, 1)
sprites[2] = sprite({ "MMMMMMMMMMMM", "MMMMMMMMMMMM", "MMMMMMMMMMMM", "CCCCCCCCCCCC",
                      "CCCCCCCCCCCC", "CCCCCCCCCCCC" }, 2)
sprites[3] = sprite({ "gggg", "g..g", "gGGg", "gggg" }, 0)
sprites[65] = sprite({ ".yy.", "y..y", "yyyy", "y..y", "y..y" })   -- A
sprites[66] = sprite({ "ccc.", "c..c", "ccc.", "c..c", "ccc." })   -- B

local file = le16(67)
for i = 0, 66 do file = file .. sprites[i] end
local f = assert(io.open("sprite/golden.spr", "wb"))
f:write(file)
f:close()

-- Script-facing failures: each a script error naming the function.
local bad = assert(io.open("sprite/bad.spr", "wb"))
bad:write(le16(1) .. sprite({ "r" }, 0, 0))       -- a run past the width
bad:close()
local ok, message = pcall(LoadSpriteSet, "bad.spr")
assert(not ok and string.find(message, "LoadSpriteSet: bad.spr: sprite 0: row 0: a run passes", 1, true), message)
ok, message = pcall(LoadSpriteSet, "none.spr")
assert(not ok and string.find(message, "LoadSpriteSet: none.spr: cannot open", 1, true), message)

local set = LoadSpriteSet("golden.spr")
ok, message = pcall(Draw, set, 0, 0, 67)
assert(not ok and string.find(message, "Draw: index 67 is outside the set (67 sprites)", 1, true), message)
ok, message = pcall(Draw, nil, 0, 0, 1)
assert(not ok and string.find(message, "Draw: the sprite set is nil", 1, true), message)
local spare = LoadSpriteSet("golden.spr")
spare:Release()
ok, message = pcall(function() spare:Release() end)
assert(not ok and string.find(message, "Release: the sprite set was released", 1, true), message)
ok, message = pcall(DrawFont, spare, 0, 0, "A", -1)
assert(not ok and string.find(message, "DrawFont: the sprite set was released", 1, true), message)

-- Frames: the palette fades in from black over the run; sprites cross the
-- edges by a few more pixels each frame.
SetPalette(0, 0, 0)
AdjustPalette()
local frame = 0
while true do
  Update()
  frame = frame + 1
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
  Present()
end
