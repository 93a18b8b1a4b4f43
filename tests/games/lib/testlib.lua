-- Helpers for test games (copied into every test game's script/ folder):
-- sprite-set files written from Lua, and error expectations.

local function u16(n)
  return string.char(n % 256, (n / 256) % 256)
end

local function i32(n)
  local b = {}
  for i = 1, 4 do
    b[i] = n % 256
    n = (n - b[i]) / 256
  end
  return string.char(b[1], b[2], b[3], b[4])
end

TestLib = {u16 = u16, i32 = i32}

-- Run codes: transparent, opaque and blended runs of n pixels.
function TestLib.Clear(n) return u16(32768 + n) end
function TestLib.Solid(colours)   -- a string of colour bytes
  return u16(string.len(colours)) .. colours
end
function TestLib.Blend(pairs)     -- a string of (colour, level) byte pairs
  return u16(16384 + string.len(pairs) / 2) .. pairs
end
function TestLib.Row(runs) return u16(string.len(runs)) .. runs end

-- A sprite record from its rows (each made with TestLib.Row).
function TestLib.Sprite(width, rows)
  local data, height = "", 0
  for _, r in ipairs(rows) do
    data = data .. r
    height = height + 1
  end
  return i32(width) .. i32(height) .. i32(string.len(data)) .. data
end

-- A width x height sprite of one colour.
function TestLib.Box(width, height, colour)
  local rows = {}
  for i = 1, height do rows[i] = TestLib.Row(TestLib.Solid(string.rep(string.char(colour), width))) end
  return TestLib.Sprite(width, rows)
end

-- Writes sprite/<name> from a list of sprite records.
function TestLib.WriteSpriteSet(name, sprites)
  local body = u16(#sprites)
  for _, s in ipairs(sprites) do body = body .. s end
  local path = string.gsub(GetScriptPath(""), "script/$", "sprite/") .. name
  local f = assert(io.open(path, "wb"))
  f:write(body)
  f:close()
end

-- Calls f(...) and requires an error whose text contains `needle`.
function TestLib.ExpectError(needle, f, ...)
  local ok, err = pcall(f, ...)
  assert(not ok, "expected an error containing '" .. needle .. "'")
  assert(string.find(err, needle, 1, true), "error '" .. tostring(err) .. "' lacks '" .. needle .. "'")
  return err
end
