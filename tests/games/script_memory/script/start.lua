-- Piling up what the engine keeps for a script (events with long names,
-- replay records, sprite sets) ends in a script error naming the function
-- while the process stays below a gigabyte; what is fired, cleared or
-- dropped gives its memory back; then start.lua itself runs out.
local function peak()  -- the process's peak resident size, in MB
  local f = assert(io.open("/proc/self/status", "r"))
  local text = f:read("*a")
  f:close()
  return tonumber(string.match(text, "VmHWM:%s*(%d+)")) / 1024
end
-- AddressSanitizer's shadow and quarantine make resident size meaningless.
local sanitized = os.getenv("ASAN_OPTIONS") ~= nil

-- Calls add(0), add(1), ... until it fails: it must fail for lack of memory,
-- after at least `least` calls (the budget is 512 MB, and was given back).
local function exhaust(what, least, add)
  local n = 0
  local ok, message = pcall(function() while true do add(n) n = n + 1 end end)
  assert(not ok and string.find(message, what .. ": ", 1, true) == 1 and
         string.find(message, "not enough memory", 1, true), tostring(message))
  print(what .. ": not enough memory after " .. n .. ", peak resident " .. peak() .. " MB")
  assert(n >= least and (sanitized or peak() < 1024))
end

local name = string.rep("n", 255)
_G[name] = function() end
exhaust("AddTimeEvent", 1000000, function() AddTimeEvent(0, name) end)
Update()  -- fires them all
exhaust("rep", 4000000, function(n) rep(n, 255) end)
ClearEvent()

-- A set of one 4000 x 4096 sprite, a single opaque run a row: 16 MB.
local function le(n, bytes)
  local s = ""
  for i = 1, bytes do s = s .. string.char(Mod(n, 256)) n = n / 256 end
  return s
end
local rows = string.rep(le(4002, 2) .. le(4000, 2) .. string.rep("\7", 4000), 4096)
local f = assert(io.open(string.gsub(GetScriptPath(""), "script/$", "sprite/") .. "big.spr", "wb"))
f:write(le(1, 2) .. le(4000, 4) .. le(4096, 4) .. le(string.len(rows), 4) .. rows)
f:close()
rows = nil
local sets = {}
exhaust("LoadSpriteSet", 30, function(n) sets[n] = LoadSpriteSet("big.spr") end)
sets = nil
collectgarbage("collect")
assert(LoadSpriteSet("big.spr"))  -- dropped sets gave their memory back
print("memory ok")

local l, i = nil, 0
while true do i = i + 1 l = {l, i} end
