-- Helpers for test games (copied into every test game's script/ folder):
-- sprite-set and sound files written from Lua, and error expectations.

TestLib = {}

-- `n` as `k` bytes, least significant first (a negative one as its two's complement).
function TestLib.Le(n, k) local s = "" for i = 1, k do local b = n % 256 s, n = s .. string.char(b), (n - b) / 256 end return s end
local function u16(n) return TestLib.Le(n, 2) end
local function i32(n) return TestLib.Le(n, 4) end

-- Pixel kinds: 0 transparent ('.'), 1 opaque (lower case), 2 blended.
local function kind(ch) return ch == "." and 0 or string.find(ch, "%l") and 1 or 2 end

-- A sprite record from pattern rows: '.' is transparent, a lower-case letter
-- an opaque pixel of colour colours[letter], an upper-case letter a blended
-- pixel of colours[lower-case letter] at `level` (default 0). Trailing '.'
-- end the row early; the width is the longest row's unless given.
function TestLib.Sprite(rows, colours, level, width)
  local data, widest = "", 0
  for _, pattern in ipairs(rows) do
    local runs, i, n = "", 1, string.len(pattern)
    if n > widest then widest = n end
    while n > 0 and string.sub(pattern, n, n) == "." do n = n - 1 end
    while i <= n do
      local k, j = kind(string.sub(pattern, i, i)), i
      while j <= n and kind(string.sub(pattern, j, j)) == k do j = j + 1 end
      runs = runs .. u16(({32768, 0, 16384})[k + 1] + j - i)
      for p = i, j - 1 do
        local c = colours[string.lower(string.sub(pattern, p, p))]
        if k == 1 then runs = runs .. string.char(c) end
        if k == 2 then runs = runs .. string.char(c, level or 0) end
      end
      i = j
    end
    data = data .. u16(string.len(runs)) .. runs
  end
  return i32(width or widest) .. i32(#rows) .. i32(string.len(data)) .. data
end

function TestLib.Box(width, height, colour)
  local rows = {}
  for i = 1, height do rows[i] = string.rep("x", width) end
  return TestLib.Sprite(rows, {x = colour})
end

function TestLib.WriteSpriteSet(name, sprites)
  local body = u16(#sprites)
  for _, s in ipairs(sprites) do body = body .. s end
  local path = string.gsub(GetScriptPath(""), "script/$", "sprite/") .. name
  local f = assert(io.open(path, "wb"))
  f:write(body)
  f:close()
end

-- An 8-bit mono PCM WAV of `n` samples of a square wave.
function TestLib.WriteWav(name, n)
  -- The table library is not open: build the data from repeated pieces.
  local period = string.rep(string.char(64), 8) .. string.rep(string.char(192), 8)
  local data = string.sub(string.rep(period, n / 16 + 1), 1, n)
  local fmt = "fmt " .. i32(16) .. u16(1) .. u16(1) .. i32(11025) .. i32(11025) .. u16(1) .. u16(8)
  local body = "WAVE" .. fmt .. "data" .. i32(n) .. data
  local path = string.gsub(GetScriptPath(""), "script/$", "sound/") .. name
  local f = assert(io.open(path, "wb"))
  f:write("RIFF" .. i32(string.len(body)) .. body)
  f:close()
end

-- An object kind of sprite set `set` (may be nil), animations from rows
-- {first, last, delay, loops} (none: one default animation) and fields such as size.
function TestLib.Kind(set, anims, fields)
  local k = NewObject()
  if set then k:SetSpriteSet(set) end
  k:SetAnimSize(#anims > 0 and #anims or 1)
  for n, a in ipairs(anims) do k:SetAnim(n - 1, a[1], a[2], a[3], a[4]) end
  for name, value in pairs(fields or {}) do k[name] = value end
  return k
end

function TestLib.ExpectError(needle, f, ...)
  local ok, err = pcall(f, ...)
  assert(not ok, "expected an error containing '" .. needle .. "'")
  assert(string.find(err, needle, 1, true), "error '" .. tostring(err) .. "' lacks '" .. needle .. "'")
  return err
end
