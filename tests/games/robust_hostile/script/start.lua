-- Hostile scripts: every registered function with bad arguments, re-entered frame
-- steps, deep parent chains and recursion, runaway memory; then a correct final frame.
RunScript("testlib.lua")
-- Every function the engine registers: the global functions less Lua's and luabind's.
local others = {}
for name in string.gmatch("assert class collectgarbage dofile error gcinfo getfenv getmetatable " ..
    "ipairs load loadfile loadstring newproxy next pairs pcall print property rawequal rawget rawset " ..
    "require select setfenv setmetatable super tonumber tostring type unpack xpcall", "%a+") do
  others[name] = true
end
local names = {}
for name, f in pairs(_G) do
  if type(f) == "function" and not others[name] then names[#names + 1] = name end
end
assert(#names == 111, #names .. " registered functions, not 111: update the count")

local alerts = 0
function _ALERT(m) alerts = alerts + 1 end

TestLib.WriteSpriteSet("box.spr", {TestLib.Box(8, 8, 200), TestLib.Box(4, 4, 28)})
local set = LoadSpriteSet("box.spr")
local dead_set = LoadSpriteSet("box.spr")
dead_set:Release()
local kind = TestLib.Kind(set, {{0, 1, 2, true}}, {size = 4})
local dead_kind = NewObject()
dead_kind:Release()
local sound = LoadSound("none.wav")   -- nil: no such file
local inst = AddEnemy0(kind, nil, 50, 50, 0, 0, 0, 100)

local big, small = 2147483647, -2147483648
local values = {nil, big, small, -1, 0, 300, -40000, "x", "", string.rep("n", 400), true,
                {}, set, dead_set, kind, dead_kind, inst, print}
local nvalues = 18

function e_col(e, b) end
function damage(e) end
function noop() end

local calls, failures = 0, 0
local function try(f, ...)
  calls = calls + 1
  local ok = pcall(f, ...)
  if not ok then failures = failures + 1 end
end

-- Every function, with 0 to 9 arguments: the same value everywhere, one
-- value among plausible ones, and mixes of extremes.
local plausible = {kind, "noop", 10, 20, 65536, 30, 0, 50, 1}
local mixes = {{1, 2, 3, 4, 5, 6, 7, 8, 9},
               {kind, "noop", big, small, big, small, 255, -1, 0},
               {0, kind, "noop", small, big, small, 300, 300, -32769},
               {-1, set, -5, -5, 99, -99, 0, 0, 0},
               {inst, inst, inst, 0, 0, 0, 0, 0, 0}}
for _, name in ipairs(names) do
  local f = _G[name]
  for arity = 0, 9 do
    for i = 1, nvalues do
      local v = values[i]
      local same = {v, v, v, v, v, v, v, v, v}
      try(f, unpack(same, 1, arity))
      for pos = 1, arity do
        local a = {unpack(plausible)}
        a[pos] = v
        try(f, unpack(a, 1, arity))
      end
    end
    for _, m in ipairs(mixes) do try(f, unpack(m, 1, arity)) end
  end
end
print("calls " .. calls .. ", script errors " .. failures)
_ALERT = nil
ClearEvent()   -- the calls above queued events with impossible arguments

-- Re-entering the frame step from a callback, and checks from inside checks.
function reenter(i) pcall(Update) pcall(CheckEnemy, i, "noop") pcall(SetDamage, 0, 0, 320, 240) end
ClearInstance()
for n = 1, 20 do AddEnemy0(kind, "reenter", 100, 100 + n, 0, 0, 0, 5) end
for n = 1, 20 do AddPBullet(kind, nil, 100, 100 + n, 0, 0, 0, 5) end
function e_col(e, b) Dispose(e) Dispose(b) CheckEnemy(b, "noop") end
for n = 1, 8 do pcall(Update) end
e_col = function(e, b) end

-- Parent loops are refused; deep chains stay finite.
ClearInstance()
local a, b = AddLayer1(kind, nil, 1, 1, 0, 0, 0, 10), AddLayer1(kind, nil, 1, 1, 0, 0, 0, 10)
SetParent(b, a)
TestLib.ExpectError("SetParent", SetParent, a, b)
TestLib.ExpectError("SetParent", SetParent, a, a)
local chain = a
for n = 1, 900 do
  local c = AddLayer1(kind, nil, 0, 0, 0, 0, 0, 10)
  if not c then break end
  SetParent(c, chain)
  chain = c
end
assert(GetX(chain) > 0)
Dispose(a)
Update()

-- Deep recursion and runaway memory end as script errors.
local function deep(n) return deep(n + 1) + 1 end
TestLib.ExpectError("stack overflow", deep, 1)
local s = "x"
TestLib.ExpectError("not enough memory", function() while true do s = s .. s end end)
s = nil
collectgarbage("collect")

-- The engine still works: a known final frame.
ClearEvent()
ClearInstance()
ResetPalette()
AdjustPalette()
AddEnemy0(kind, nil, 160, 120, 0, 0, 0, 100)
SetTime(0)
Update()
Draw(set, 10, 10, 0)
Draw(set, 300, 220, 1)
Present()
print("survived")
