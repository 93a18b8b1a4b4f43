-- Instances, kinds, the world's walks, collisions and geometry, as scripts see them.
return {
{"spawn refuses an anim outside the table", [[E(mk, AddPBullet, NewObject()) note(free())
  AddEnemy1(K, nil, 0, 0, 0, 0, 1, 10)]], "AddPBullet: animation 0 does not exist (the kind has 0) 1000 ! AddEnemy1: animation 1 does not exist (the kind has 1)"},
{"spawn sets the fields and keeps its own updater name", [[local k = NewObject() k:SetAnimSize(3) k:SetAnim(2, 9, 12, 1, true) k.hp = 30
  local name = 'mo' .. 've' i = AddLayer2(k, name, 100, -20, 98304, 300, 2, 77) i.hp = 5 name = nil collectgarbage()
  note(i.vel, i.dir, i.anim, i.hp, i.state, i.hit, i.age, GetX(i), GetY(i), GetParent(i), GetHP(i), GetHP(nil))
  function move(i) note('moved') end U() SetUpdater(i, nil) SetUpdater(nil, 'move') SetDisposer(nil, 'x') U()]],
  "98304 44 2 5 0 0 0 100 -20 nil 30 0 moved "},
{"a reused instance starts afresh", [[function u(i) note('u') end function bye(i) note('bye') end
  a = mk(AddEnemy0, K, 0, 0, 4, 'u') a.hit = 9 SetDisposer(a, 'bye') U(2) Dispose(a) U()
  for n = 1, 999 do mk(AddLayer3) end b = mk(AddLayer1) note(b == a, b.hit, b.state, b.age) U() Dispose(b)]], "u u bye true 0 0 0 "},
{"newest first in its list, lists in step order, one handle each", [[seen = {} function e_col() end
  function up2(i) note(i.state) seen[i] = (seen[i] or 0) + 1 end a = mk(AddEnemy0, K, 0, 0, 1, 'up2') b = mk(AddEnemy0, K, 0, 0, 2, 'up2')
  for _, v in ipairs({{AddLayer3, 8}, {AddLayer0, 5}, {AddPBullet, 4}, {AddEBullet, 3}, {AddLayer2, 7}, {AddEnemy1, 9},
    {AddLayer1, 6}}) do mk(v[1], K, 0, 0, v[2], 'up2') end
  U() note(seen[a]) U() note(seen[a]) SetParent(b, a) note(rawequal(GetParent(b), a))]],
  "2 1 9 3 4 5 6 7 8 1 2 1 9 3 4 5 6 7 8 2 true "},
{"an empty pool gives nil and nil is accepted", [[first = mk(AddLayer0, K, 0, 0, 1, 'up') for n = 2, 999 do mk(AddEnemy0) end
  last = mk(AddLayer0, K, 0, 0, 2, 'up') local none = AddLayer1(K, nil, 0, 0, 0, 0, 0, 10)
  SetParent(none, last) SetUpdater(none, 'x') Dispose(none)
  note(AddEBullet(K, nil, 0, 0, 0, 0, 0, 10), GetX(none), GetDist(none, last), free()) U()]], "nil 160 99999 0 2 1 "},
{"disposed instances stay listed until the walk", [[a = mk(AddEnemy0) b = mk(AddEnemy0) c = mk(AddLayer0)
  Dispose(c) Dispose(a) Dispose(b) note(free())]], "997 "},
{"freed instances are reused in the order freed", [[a = mk(AddEnemy0) b = mk(AddEnemy0) c = mk(AddLayer0)
  Dispose(c) Dispose(a) Dispose(b) U() for n = 1, 997 do mk(AddLayer3) end
  for _, i in ipairs({b, a, c}) do note(mk(AddLayer3) == i) end]], "true true true "},
{"Dispose, parent first, then children depth first", [[function bye(i) note(i.state) end
  function make(s, parent) local i = mk(AddLayer0, K, 0, 0, s) SetDisposer(i, 'bye') if parent then SetParent(i, parent) end return i end
  p = make(1) c1 = make(2, p) c2 = make(3, p) g = make(4, c1) q = make(5) SetUpdater(q, 'up') Dispose(p)
  note(GetParent(c1), GetParent(c2), GetParent(g)) Dispose(p) Dispose(c2) Dispose(nil) U() note(free())]],
  "1 2 4 3 nil nil nil 5 999 "},
{"a child disposed or given another parent", [[function bye(i) note(i.state) end p = mk(AddEnemy0, K, 0, 0, 1) SetDisposer(p, 'bye')
  c = mk(AddLayer0, K, 0, 0, 2) SetDisposer(c, 'bye') for n = 1, 1000 do SetParent(c, p) end Dispose(c) Dispose(p)
  p1 = mk(AddEnemy0) p2 = mk(AddEnemy0, K, 50, 0, 3) SetDisposer(p2, 'bye') c = mk(AddLayer0, K, 5, 0, 4) SetDisposer(c, 'bye')
  SetParent(c, p1) SetParent(c, p2) note(GetParent(c) == p2, GetX(c)) Dispose(p1) note(GetParent(c))]], "2 1 true 55 4 nil "},
{"SetParent refuses loops; a nil parent clears", [[function bye(i) note('bye') end
  a = mk(AddLayer0, K, 10, 10) SetDisposer(a, 'bye') b = mk(AddLayer0, K, 1, 1) SetParent(b, a)
  c = mk(AddLayer0, K, 1, 1) SetParent(c, b) SetParent(nil, a) E(SetParent, a, c) E(SetParent, a, a) E(SetParent, b, c)
  note(GetParent(a), GetX(c)) SetParent(c, nil) note(GetParent(c), GetX(c)) Dispose(c) SetParent(a, c) note(GetX(a))]],
  "SetParent: an instance cannot be its own ancestor SetParent: an instance cannot be its own ancestor SetParent: an instance cannot be its own ancestor nil 12 nil 1 11 "},
{"ClearInstance cuts the links of the former life", [[function bye(i) note(i.state) end
  p = mk(AddEnemy0, K, 100, 100) c = mk(AddLayer0, K, 5, 5) SetParent(c, p) for n = 1, 998 do mk(AddLayer3) end
  ClearInstance() note(GetParent(c)) np = mk(AddEnemy0) nc = mk(AddLayer0, K, 0, 0, 1) SetDisposer(nc, 'bye')
  note(np == p, nc == c) Dispose(np) note(GetParent(nc))]], "nil true true nil "},
{"CheckEBullet and stale handles cut the links of the former life", [[function took(x) end function bye(i) note(i.state) end
  p = mk(AddEnemy0, K, 100, 100, 3) SetDisposer(p, 'bye') b = mk(AddEBullet, K, 10) SetParent(b, p)
  g = mk(AddLayer1, K, 0, 3, 1) SetDisposer(g, 'bye') SetParent(g, b) CheckEBullet(mk(AddLayer0, K, 110, 100), 'took')
  note(GetParent(g), GetX(g), GetY(g), GetParent(b)) k = mk(AddLayer1, K, 7, 0, 2) SetDisposer(k, 'bye') SetParent(k, b)
  for n = 1, 995 do mk(AddLayer3) end nb = mk(AddLayer2) note(nb == b, GetParent(k)) Dispose(p) Dispose(nb)]],
  "nil 110 103 nil true nil 3 "},
{"an earlier parent's stale entry does not reach the reused instance", [[function bye(i) note('bye') end
  p1 = mk(AddEnemy0) p2 = mk(AddEnemy0) c = mk(AddLayer0) SetParent(c, p1) SetParent(c, p2) Dispose(c)
  for n = 1, 997 do mk(AddLayer3) end U() n = mk(AddLayer1) note(n == c) SetDisposer(n, 'bye') Dispose(p1) Dispose(p2)]], "true "},
{"ClearInstance returns everything in list order without disposers", [[function bye(i) note('bye') end
  a = mk(AddEnemy1) SetDisposer(a, 'bye') b = mk(AddLayer3) c = mk(AddEnemy0) SetDisposer(c, 'bye') Dispose(c)
  ClearInstance() note(GetHP(a)) for n = 1, 997 do mk(AddLayer3) end
  note(mk(AddLayer0) == c, mk(AddLayer0) == a, mk(AddLayer0) == b)]], "bye 0 true true true "},
{"ClearInstance from a disposer", [[function bye(i) note('bye') end function wipe(i) note('wipe') ClearInstance() end
  p = mk(AddLayer0) SetDisposer(p, 'wipe') c = mk(AddLayer0) SetDisposer(c, 'bye') SetParent(c, p) Dispose(p) note(free())]],
  "wipe 1000 "},
{"kind properties", [[local k = NewObject() note(k.cx, k.cy, k.hp, k.size, k.delay)
  k.cx, k.cy, k.hp, k.size, k.delay = 8, -3, 100, 6, 250 note(k.cx, k.cy, k.hp, k.size, k.delay)]], "0 0 0 0 0 8 -3 100 6 250 "},
{"SetAnim refuses an index outside the table", [[E(function() NewObject():SetAnim(0, 1, 2, 0, true) end)
  local k = NewObject() k:SetAnimSize(2) E(k.SetAnim, k, 2, 1, 2, 0, true) k:SetAnimSize(0) E(k.SetAnim, k, 0, 1, 2, 0, true)]],
  "SetAnim: animation 0 does not exist (the kind has 0) SetAnim: animation 2 does not exist (the kind has 2) SetAnim: animation 0 does not exist (the kind has 0) "},
{"a released kind is refused everywhere", [[R = NewObject() R:SetAnimSize(1) R:Release()
  for _, c in ipairs({'R:Release()', 'R:SetAnimSize(2)', 'R:SetAnim(0, 1, 1, 0, false)', 'R:SetSpriteSet(nil)',
    'local v = R.cx', 'R.size = 3', 'AddLayer2(R, nil, 0, 0, 0, 0, 0, 5)'}) do E(loadstring(c)) end
  E(AddEBullet, nil, nil, 0, 0, 0, 0, 0, 5) note(free())]],
  "Release: the kind was released SetAnimSize: the kind was released SetAnim: the kind was released SetSpriteSet: the kind was released Object.cx: the kind was released Object.size: the kind was released AddLayer2: the kind was released AddEBullet: no kind given (nil) 1000 "},
{"a kind released while in use stays alive", [[local k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 1, 3, 0, true) k.hp = 42
  e = AddEnemy0(k, nil, 10, 10, 65536, 0, 0, 100) k:Release() k = nil collectgarbage() collectgarbage() U(2) note(GetHP(e), GetX(e))]], "42 12 "},
{"life counts down and ends the instance", [[n = 0 function up2(i) n = n + 1 end function gone(i) note('gone' .. n) end
  a = AddEnemy1(K, 'up2', 0, 0, 0, 0, 0, 3) SetDisposer(a, 'gone') z = AddEnemy0(K, 'up2', 0, 0, 0, 0, 0, 0) SetDisposer(z, 'gone')
  U() note(n) U(2) note(n, a.age) U() note(free())]], "gone0 1 3 3 gone3 1000 "},
{"an updater that disposes its instance", [[function d(i) Dispose(i) end a = AddLayer0(K, 'd', 10, 10, 65536, 0, 0, 10)
  U() note(GetX(a), a.age, free())]], "11 1 1000 "},
{"an updater that spawns", [[function sp(i) note('up') mk(AddEnemy0, K, 0, 0, 0, 'sp') end
  mk(AddEnemy0, K, 0, 0, 0, 'sp') U() note('|') U()]], "up | up up "},
{"bullets are culled at their edges, in the same walk", [[function bye(i) note(i.state) end function up2(i) if late then note(i.state) end end
  function b(x, y, s) local i = mk(AddEBullet, K, x, y, s, 'up2') SetDisposer(i, 'bye') return i end
  b(160, 245, 1) b(160, 246, 2) b(-5, 100, 3) b(-6, 100, 4) b(325, 0, 5) b(326, 0, 6) b(0, -5, 7) b(0, -6, 8)
  p = mk(AddEnemy0, K, 300, 200) c = b(26, 0, 9) SetParent(c, p) d = b(25, 45, 10) SetParent(d, p)
  mk(AddPBullet, K, 160, 300, 11, 'up2') mk(AddPBullet, K, 160, -6, 0, 'up2') mk(AddPBullet, K, -6, 100, 0, 'up2')
  mk(AddPBullet, K, 326, 100, 0, 'up2') mk(AddPBullet, K, 325, -5, 12, 'up2') mk(AddEnemy1, K, -100, 900, 13, 'up2')
  mk(AddLayer3, K, 1000, -1000, 14, 'up2') U() note('|') late = true U()]], "9 8 6 4 2 | 13 10 7 5 3 1 12 11 14 "},
{"an error in a callback stops the update with the lists consistent", [[function d(i) Dispose(i) end function boom(i) error('updater failed') end
  a = mk(AddEnemy0, K, 0, 0, 1, 'd') b = mk(AddEnemy0, K, 0, 0, 0, 'boom') c = mk(AddLayer0, K, 0, 0, 3, 'd')
  SetDisposer(a, 'up') SetDisposer(c, 'up') E(Update) function boom(i) Dispose(i) end mk(AddEnemy1) mk(AddPBullet) E(Update)
  function e_col() end U(2) note(free())]], "updater failed 1 attempt to call a nil value 3 998 "},
{"ClearInstance from an updater ends the walk", [[function up2(i) note('up' .. i.state) end
  function clear(i) note('clear') ClearInstance() mk(AddEnemy0, K, 0, 0, 5, 'up2') mk(AddLayer1, K, 0, 0, 6, 'up2') end
  AddEnemy0(K, 'up2', 0, 0, 65536, 0, 0, 10).state = 1 b = AddEnemy0(K, 'clear', 0, 0, 65536, 0, 0, 10)
  mk(AddEnemy1, K, 0, 0, 3, 'up2') mk(AddLayer1, K, 0, 0, 4, 'up2') U() note(GetX(b)) U() note(free())]], "clear up6 0 up5 up6 998 "},
{"ClearInstance from a hit ends every walk", [[function e_col(e, b) note('hit' .. e.state) ClearInstance() end
  function u(i) note('up') end mk(AddEnemy1, K, 0, 0, 2) mk(AddEnemy0, K, 0, 0, 1)
  mk(AddPBullet, K, 0, 0, 0, 'u') mk(AddPBullet, K, 0, 0, 0, 'u') U() note(free())]], "up hit1 1000 "},
{"ClearInstance from a cull's disposer", [[function bye(i) note('bye') ClearInstance() end function u(i) note('up') end
  SetDisposer(mk(AddEBullet, K, 400), 'bye') mk(AddEBullet, K, 400, 0, 0, 'u') mk(AddLayer0, K, 0, 0, 0, 'u') U() note(free())]],
  "up bye 1000 "},
{"a nested walk that removes the current and the next element", [[function damage(e) end
  function bomb(i) note('bomb') Dispose(i) Dispose(second) SetDamage(-1000, -1000, 1, 1) end
  third = mk(AddEnemy0, K, 0, 0, 3, 'up') second = mk(AddEnemy0, K, 0, 0, 2, 'up')
  first = AddEnemy0(K, 'bomb', 0, 0, 65536, 0, 0, 10) U() note(GetX(first)) U() note(free())]], "bomb 3 0 3 999 "},
{"Update from an updater", [[function again(i) note('again') SetUpdater(i, 'up') Dispose(b) Update() end
  c = mk(AddLayer0, K, 0, 0, 3, 'up') b = mk(AddLayer0, K, 0, 0, 2, 'up') a = mk(AddLayer0, K, 0, 0, 1, 'again') U() note(c.age) U()]],
  "again 1 3 3 2 1 3 "},
{"CheckEnemy reports every touching enemy in list order", [[S0, S3, S4 = kind(0), kind(3), kind(4)
  who = mk(AddLayer0, S3, 100, 100, 0) mk(AddEnemy1, S4, 104, 102, 1) mk(AddEnemy0, S4, 103, 104, 2)
  mk(AddEnemy0, S4, 97, 100, 3) d = mk(AddEnemy0, S4, 100, 104, 4) Dispose(d) mk(AddEnemy0, S0, 100, 100, 5)
  CheckEnemy(who, 'up') CheckEnemy(nil, 'up') note('|') CheckEnemy(who, 'up') E(CheckEnemy, who, nil)
  CheckEnemy(mk(AddLayer0, S0, 100, 100, 0), 'up')]], "5 4 3 1 | 5 3 1 CheckEnemy: no function name given (nil) 3 "},
{"CheckEBullet takes the newest touching bullet only", [[function took(b) note('took' .. b.state) end function bye(b) note('bye') end
  S3 = kind(3) who = mk(AddLayer0, S3, 0, 0, 0) b1 = mk(AddEBullet, S3, 1, 1, 1) SetDisposer(b1, 'bye')
  b2 = mk(AddEBullet, S3, 2, 0, 2) SetDisposer(b2, 'bye') far = mk(AddEBullet, S3, 90, 0, 3) Dispose(far)
  CheckEBullet(who, 'took') for n = 1, 997 do mk(AddLayer3) end note(mk(AddLayer3) == b2)]], "took2 true "},
{"CheckEBullet with repeated, nil, failing and spawning callbacks", [[function took(b) note('took' .. b.state) end
  S3 = kind(3) who = mk(AddLayer0, S3, 0, 0, 0) mk(AddEBullet, S3, 1, 1, 1) mk(AddEBullet, S3, 2, 0, 2)
  for n = 1, 3 do CheckEBullet(who, 'took') end CheckEBullet(nil, 'took') E(CheckEBullet, who, nil)
  function bad(b) error('no way') end b = mk(AddEBullet, S3, 0, 0, 1) E(CheckEBullet, who, 'bad')
  function spawn(b) mk(AddEBullet, S3, 0, 0, 9) Dispose(b) end CheckEBullet(who, 'spawn') note('|') CheckEBullet(who, 'took')]],
  "took2 took1 CheckEBullet: no function name given (nil) no way | took9 "},
{"SetDamage against the screen rectangle", [[S0, S3 = kind(0), kind(3) function damage(e) note(e.state) end
  for n, c in ipairs({{AddEnemy0, S0, 0, 100}, {AddEnemy0, S0, 1, 1}, {AddEnemy0, S3, -2, 100}, {AddEnemy0, S3, -3, 100},
    {AddEnemy0, S3, 160, 242}, {AddEnemy1, S3, 322, 242}, {AddEnemy1, S3, 322, 243}, {AddEnemy1, S3, -2, -2},
    {AddEnemy1, S0, 319, 239}, {AddEnemy1, S0, 320, 120}}) do mk(c[1], c[2], c[3], c[4], n) end
  SetDamage(0, 0, 320, 240) note('|') SetDamage(320, 0, -320, 240)]], "5 3 2 9 8 6 | "},
{"SetDamage, left and bottom edges count, corners are round", [[function damage(e) note(e.state) end
  for n, c in ipairs({{5, 5, 0}, {10, 5, 0}, {12, 5, 3}, {12, 0, 3}, {5, -2, 3}, {11, -1, 2}, {12, -1, 2}, {-1, 11, 2},
    {-2, 11, 2}}) do mk(AddEnemy0, kind(c[3]), c[1], c[2], n) end SetDamage(0, 0, 10, 10)]], "8 6 5 3 1 "},
{"ClearInstance from CheckEnemy, SetDamage and CheckEBullet", [[S3, S4 = kind(3), kind(4)
  function wipe(i) note(i.state) ClearInstance() mk(AddEnemy0, S4, 0, 0, 9) end function damage(e) wipe(e) end
  who = mk(AddLayer0, S3, 0, 0, 0) mk(AddEnemy1, S4, 0, 0, 3) mk(AddEnemy0, S4, 0, 0, 2) mk(AddEnemy0, S4, 0, 0, 1)
  CheckEnemy(who, 'wipe') mk(AddEnemy1, S4, 0, 0, 4) SetDamage(-10, -10, 20, 20)
  who = mk(AddLayer0, S3, 0, 0, 0) mk(AddEBullet, S4, 0, 0, 6) mk(AddEBullet, S4, 0, 0, 5) CheckEBullet(who, 'wipe') note(free())]],
  "1 9 5 999 "},
{"positions through the parent chain", [[note(GetX(nil), GetY(nil)) p = mk(AddLayer0, K, 100, 100)
  c = mk(AddLayer0, K, 10, -5) SetParent(c, p) g = mk(AddLayer0, K, 1, 1) SetParent(g, c) note(GetX(c), GetY(c), GetX(g), GetY(g))
  SetX(c, 0) note(GetX(c)) SetY(c, -100) note(GetY(g)) SetX(nil, 5) SetY(nil, 5) a = mk(AddLayer0) b = mk(AddLayer0, K, 3, 4)
  note(GetDist(a, b), GetDist(nil, a), GetDist(a, nil), GetDestDist(b, 0, 0), GetDestDist(nil, 0, 0))
  note(GetDir(a, b) == GetDestDir(a, 3, 4), GetDir(nil, b), GetDir(a, nil), GetDestDir(nil, 0, 0))
  function e_col(e) note(GetX(e)) end e = mk(AddEnemy0) SetParent(e, b) mk(AddPBullet, K, 40, 4) U() SetX(b, 40) U()]],
  "160 120 110 95 111 96 100 1 25 99999 99999 25 99999 true 30 30 30 40 "},
{"pixels are the upper 16 bits, signed", [[a = AddLayer0(K, nil, 0, 0, -32768, 0, 0, 10) b = AddLayer0(K, nil, 32767, 0, 65536, 0, 0, 10)
  U() note(GetX(a), GetX(b))]], "-1 -32768 "},
{"GetDestDir", [[o = mk(AddLayer0, K, 100, 100) for _, c in ipairs({{110, 110}, {110, 100}, {90, 100}, {100, 110}, {100, 90},
  {100, 100}, {110, 90}, {90, 110}, {90, 90}, {120, 110}, {110, 120}, {101, 200}, {101, 0}, {99, 200}, {200, 101}}) do
  note(GetDestDir(o, c[1], c[2])) end]], "14 120 60 30 90 90 106 46 74 8 21 30 90 30 0 "},
{"GetDestDir, the tangent table and its search; offsets past 32 bits", [[local T = {0, 3, 6, 10, 13, 17, 20, 24, 28, 32, 36,
  41, 46, 51, 57, 64, 71, 79, 88, 98, 110, 125, 143, 166, 196, 238, 301, 404, 608, 1221}
  o = mk(AddLayer0) for _, r in ipairs({1, 3, 4, 7, 64, 65, 1000, 1221, 1222}) do note(GetDestDir(o, 64, r)) end
  for r = 1, 1300 do local i = GetDestDir(o, 64, r) assert(i == 30 and r > 1221 or T[i + 1] < r and (T[i + 2] or 65535) >= r, r) end
  note(GetDestDir(o, -1, -33554432), GetDestDir(o, -2147483648, 5), GetDestDir(o, 1, -2147483648), GetDestDir(o, -1, 2147483647))]],
  "0 0 1 2 14 15 28 28 30 90 60 120 46 "},
}
