-- Small helpers shared by every part of the demo. Numbers are 32-bit
-- integers here (7/2 is 3) and there is no math library, so the few bits of
-- arithmetic the game needs are written out.

function Abs(a) if a < 0 then return -a end return a end
function Min(a, b) if a < b then return a end return b end
function Max(a, b) if a > b then return a end return b end
function Clamp(a, lo, hi) if a < lo then return lo end if a > hi then return hi end return a end

-- Every shown frame goes through Show, so the scripts know how many frames
-- --record-frames has written (the replay test lines the two runs up by it).
PRESENTED = 0
function Show()
  PRESENTED = PRESENTED + 1
  Present()
end

-- Text. Fonts are 6x8 cells drawn on a 6x9 grid (12x17 for the big one).
function Text(x, y, s, font) DrawFont(font or S.font, x, y, s, -1) end
function TextWidth(s, big) if big then return string.len(s) * 12 end return string.len(s) * 6 end
function Centre(y, s, font, big) Text(160 - TextWidth(s, big) / 2, y, s, font) end
function Digits(n, width) return string.format("%0" .. width .. "d", n) end

-- The key bitmask: bit 0 X, bit 1 A, bits 2-5 the direction code (0 none,
-- 1 right, then clockwise in eighths of a turn to 8 up-right).
KEY_DX = { [0] = 0, 1, 1, 0, -1, -1, -1, 0, 1 }
KEY_DY = { [0] = 0, 0, 1, 1, 1, 0, -1, -1, -1 }
-- Codes above 8 (never made by GetKey, possible in an edited replay) count
-- as no direction.
function KeyCode(key)
  local code = Mod(key / 4, 16)
  if code > 8 then return 0 end
  return code
end
function KeyA(key) return Mod(key / 2, 2) == 1 end
function KeyX(key) return Mod(key, 2) == 1 end
-- The direction code of a step (dx, dy), each -1, 0 or 1.
function CodeOf(dx, dy)
  for code = 0, 8 do
    if KEY_DX[code] == dx and KEY_DY[code] == dy then return code end
  end
  return 0
end

-- Menu input from the live key bitmask: presses of up, down and A with
-- auto-repeat for held directions.
MenuKeys = { last = 0, held = 0 }
function MenuKeys:Read()
  local key = GetKey()
  local code = KeyCode(key)
  local up, down, left, right = false, false, false, false
  if code == self.last_code and code ~= 0 then
    self.held = self.held + 1
  else
    self.held = 0
  end
  local fire = code ~= self.last_code or (self.held > 20 and Mod(self.held, 6) == 0)
  if fire then
    up = KEY_DY[code] < 0
    down = KEY_DY[code] > 0
    left = KEY_DX[code] < 0
    right = KEY_DX[code] > 0
  end
  local a = KeyA(key) and not KeyA(self.last)
  local x = KeyX(key) and not KeyX(self.last)
  self.last, self.last_code = key, code
  return up, down, a, x, left, right
end
function MenuKeys:Reset()
  -- Buttons held when a screen opens count as pressed only once released.
  self.last = GetKey()
  self.last_code = KeyCode(self.last)
  self.held = 0
end

-- Sound channels: 0 player shots, 1 hits and items, 2-3 explosions, 4 big
-- explosions, 5 enemy shots, 6 bomb, warning and menus, 7 music.
function Sfx(channel, sound)
  if sound then PlaySound(channel, sound, 0, -1) end
end
EXPLODE_CHANNEL = 2
function SfxExplosion()
  Sfx(EXPLODE_CHANNEL, SND.explode)
  EXPLODE_CHANNEL = 5 - EXPLODE_CHANNEL  -- 2, 3, 2, ...
end
