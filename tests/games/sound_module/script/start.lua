-- A ProTracker module written here: sample 1 is a looped 32-byte square
-- wave; pattern 0 plays it at period 428, pattern 1 an octave up and jumps
-- back to pattern 1, so the module loops after its first half.
local function u16(n) return string.char(n / 256, n - n / 256 * 256) end
local function cell(sample, period, effect, value)
  return string.char(sample / 16 * 16 + period / 256, period - period / 256 * 256,
                     (sample - sample / 16 * 16) * 16 + effect, value)
end
local head = string.rep("\0", 20) .. "tone" .. string.rep("\0", 18) .. u16(16) .. "\0\64" ..
             u16(0) .. u16(16)
head = head .. string.rep(string.rep("\0", 22) .. u16(0) .. "\0\0" .. u16(0) .. u16(1), 30)
head = head .. string.char(2, 127, 0, 1) .. string.rep("\0", 126) .. "M.K."
-- Row 0 plays the note at speed 3; row 7 ends the pattern with `ending`.
local function pattern(period, ending)
  local empty = string.rep(cell(0, 0, 0, 0), 4)
  return cell(1, period, 15, 3) .. string.rep(cell(0, 0, 0, 0), 3) .. string.rep(empty, 6) ..
         cell(0, 0, 0, 0) .. ending .. string.rep(cell(0, 0, 0, 0), 2) .. string.rep(empty, 56)
end
local wave = string.rep("\100", 16) .. string.rep("\156", 16)
local module = head .. pattern(428, cell(0, 0, 13, 0)) .. pattern(214, cell(0, 0, 11, 1)) .. wave

local function write(name, bytes)
  local f = assert(io.open(string.gsub(GetScriptPath(""), "script/$", "sound/") .. name, "wb"))
  f:write(bytes)
  f:close()
end
write("song.mod", module)
write("cut.mod", string.sub(module, 1, 1500))

local song = LoadSound("song.mod")
assert(song ~= nil, "song.mod did not load")
assert(LoadSound("cut.mod") == nil)
-- Once (0.96 s), then, after silence, for ever: its second half again and again.
assert(PlaySound(0, song, 0, -1) == 0)
for frame = 1, 90 do Update() end
assert(PlaySound(1, song, -1, -1) == 1)
for frame = 1, 150 do Update() end
StopSound(-1)
UnloadSound(song)
print("module ok")
