-- Game objects through the real Update, as a script sees them: one handle
-- per instance, errors for bad kinds and animations, a full pool that gives
-- nil, parent loops refused, ClearInstance inside an updater, a missing
-- "e_col", and kinds released while their instances live on.
RunScript("testlib.lua")
local T = TestLib

local K = NewObject()
K:SetAnimSize(2)
K:SetAnim(0, 0, 3, 0, true)
K:SetAnim(1, 9, 9, 0, false)
K.size = 2
K.hp = 7

-- Bad animations and released kinds are script errors that name the function.
T.ExpectError("SetAnim: animation 2 does not exist", K.SetAnim, K, 2, 0, 0, 0, false)
T.ExpectError("AddEnemy0: animation 2 does not exist", AddEnemy0, K, nil, 0, 0, 0, 0, 2, 10)
T.ExpectError("AddLayer1: no kind", AddLayer1, nil, nil, 0, 0, 0, 0, 0, 10)
local gone = NewObject()
gone:SetAnimSize(1)
gone:Release()
T.ExpectError("Release: the kind was released", gone.Release, gone)
T.ExpectError("AddEBullet: the kind was released", AddEBullet, gone, nil, 0, 0, 0, 0, 0, 10)
T.ExpectError("Object.hp: the kind was released", function() return gone.hp end)

-- Every callback gets the same handle the spawn returned.
local seen = {}
function mark(i) seen[i] = (seen[i] or 0) + 1 end
local a = AddLayer0(K, "mark", 10, 10, 0, 0, 0, 3)
local b = AddLayer0(K, "mark", 10, 10, 0, 0, 0, 3)
Update() Update()
assert(seen[a] == 2 and seen[b] == 2)

-- A kind released while its instances live: they go on, and GetHP still
-- reads it.
local short = NewObject()
short:SetAnimSize(1)
short.hp = 11
local survivor = AddEnemy1(short, nil, 50, 50, 65536, 0, 0, 100)
short:Release()
short = nil
collectgarbage()
Update()
assert(GetX(survivor) == 51 and GetHP(survivor) == 11)
Dispose(survivor)

-- Parents: loops refused, nil parent clears; disposal through life's end
-- takes the children depth first after the parent.
local order = ""
function bye(i) order = order .. i.state end
local p = AddLayer2(K, nil, 100, 100, 0, 0, 0, 1)
local c = AddLayer2(K, nil, 5, 0, 0, 0, 0, 100)
local g = AddLayer2(K, nil, 1, 0, 0, 0, 0, 100)
p.state, c.state, g.state = 1, 2, 3
SetDisposer(p, "bye") SetDisposer(c, "bye") SetDisposer(g, "bye")
SetParent(c, p)
SetParent(g, c)
T.ExpectError("SetParent: an instance cannot be its own ancestor", SetParent, p, g)
T.ExpectError("SetParent:", SetParent, p, p)
assert(GetX(g) == 106)
Update() Update()
assert(order == "123", order)
assert(GetParent(c) == nil and GetParent(g) == nil)

-- ClearInstance inside an updater: the walk ends, nothing listed is
-- stepped further in it, and what the updater spawns runs in later walks.
local log = ""
function note(i) log = log .. i.state end
function wipe(i)
  log = log .. "w"
  ClearInstance()
  AddLayer3(K, "note", 0, 0, 0, 0, 0, 10).state = 9
end
AddEnemy0(K, "note", 0, 0, 0, 0, 0, 10).state = 1
AddEnemy0(K, "wipe", 0, 0, 0, 0, 0, 10)
AddEnemy1(K, "note", 0, 0, 0, 0, 0, 10).state = 2
Update()
assert(log == "w9", log)
ClearInstance()

-- The pool holds exactly 1000: the next spawn gives nil, a spawn event
-- spawns nothing, and the nil-tolerant functions keep the game going.
local all = {}
for n = 1, 1000 do all[n] = AddLayer1(K, nil, 0, 0, 0, 0, 0, -1) assert(all[n]) end
assert(AddLayer1(K, nil, 0, 0, 0, 0, 0, 10) == nil)
AddEnemy0Event(0, K, nil, 0, 0, 0, 0, 0, 10)
Update()
local none = AddEnemy0(K, nil, 0, 0, 0, 0, 0, 10)
assert(none == nil)
SetParent(none, all[1]) Dispose(none) SetUpdater(none, "x")
assert(GetX(none) == 160 and GetHP(none) == 0 and GetDir(none, all[1]) == 30)
-- Freed instances come back in the order they were freed.
Dispose(all[500]) Dispose(all[2])
assert(AddLayer1(K, nil, 0, 0, 0, 0, 0, 10) == nil)  -- not before a walk
Update()
assert(AddLayer1(K, nil, 0, 0, 0, 0, 0, 10) == all[500])  -- layer1 walks newest first
assert(AddLayer1(K, nil, 0, 0, 0, 0, 0, 10) == all[2])
ClearInstance()

-- A hit without a global "e_col" is an error raised from Update.
AddEnemy0(K, nil, 20, 20, 0, 0, 0, 10)
AddPBullet(K, nil, 20, 20, 0, 0, 0, 10)
T.ExpectError("attempt to call", Update)
function e_col(e, bullet) Dispose(bullet) end
Update()
print("object rules ok")
