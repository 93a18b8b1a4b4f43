-- The Lua state, numbers and tables, paths and instance fields, as scripts see them. Rows as in
-- tests/games/lib/rows.lua; the browser comparison plays them too (tests/web).
return {
{"numbers are 32-bit integers", [[note(7 / 2, -7 / 2, 2.9, -2.9, tonumber('2.9'), -7 % 3, 7 % -3, 2147483647 + 1, 2 ^ 10, 0x10, string.format('%d', 5))
  local m, n = -2147483648, -1 note(m / n, m % n)]], "3 -3 2 -2 2 2 -2 -2147483648 1024 16 5 -2147483648 0 "},
{"division by zero names the line", [[for _, c in ipairs({'local z = 0 local x = 1 / z', 'local z = 0 local x = 1 % z',
  'local z = 0\nlocal a = 1\nlocal b = a / z'}) do note(select(2, pcall(loadstring(c, '=c')))) end]],
  "c:1: attempt to divide by zero c:1: attempt to divide by zero c:3: attempt to divide by zero "},
{"only the engine's libraries are open; classes have no constructors", [[note(io ~= nil, os ~= nil, string ~= nil,
  coroutine ~= nil, print ~= nil, require ~= nil, class ~= nil, table ~= nil, math, debug, package)
  for _, c in ipairs({'Object', 'Instance', 'SpriteSet'}) do note((pcall(loadstring('local o = ' .. c .. '()')))) end
  local t = {5, 3, 9, 1} table.sort(t, function(a, b) return a > b end) note(table.concat(t, ','), table.getn(t))]],
  "true true true true true true true true nil nil nil false false false 9,5,3,1 4 "},
{"io.read('*n') reads a whole numeral as tonumber does", [[local f = io.open('numbers.txt', 'w') f:write('123.4 -56e-2 0x1A 7e1x 9')
  f:close() f = io.open('numbers.txt') note(f:read('*n', '*n', '*n', '*n')) note(f:read('*n'), f:read(0), f:read(1), f:read('*n'), f:read(0))
  f:close() os.remove('numbers.txt')]], "123 0 26 70 nil  x 9 nil "},
{"a wrong argument in plain words", [[Mod('x', 1)]], "! Mod: argument 1 must be a number (a dividend), got string"},
{"Mod, ToFIXED", [[note(Mod(-7, 3), Mod(7, -3), Mod(7, 3), Mod(-2147483648, -1), ToFIXED(1, 50), ToFIXED(-1, 50), ToFIXED(0, 99),
  ToFIXED(3, 0), ToFIXED(1, 101)) Mod(1, 0)]], "-1 1 1 0 98286 -32786 64845 196608 66155 ! Mod: division by zero"},
{"the direction table", [[local s, t = 0, 0 for d = 0, 119 do s = s + GetDirX(d, 32767) t = t + GetDirY(d, 32767) end note(s, t)
  for _, c in ipairs({{0, 100}, {60, 100}, {30, 100}, {15, 100}, {45, 100}, {20, 100}, {120, 100}, {255, 100}}) do note(GetDirX(c[1], c[2])) end
  for _, c in ipairs({{30, 100}, {90, 100}, {10, 100}, {130, 100}, {255, -100}, {255, 100}, {15, 100}}) do note(GetDirY(c[1], c[2])) end]],
  "-88 -88 100 -100 0 70 -71 49 100 70 100 -100 50 50 -71 70 70 "},
{"random numbers: ranges and the C library's sequence", [[SetSeed(42) for n = 1, 1000 do local v, w = GetRand(0, 10), GetRand(10, 0)
  assert(v >= 0 and v <= 9 and w >= 10 and w <= 19) end GetRand(-2147483648, 2147483647) note(GetRand(9, 9))
  for _, s in ipairs({0, 1, 7, 2026, -1}) do SetSeed(s) note(GetRand(0, 2147483647), GetRand(0, 2147483647), GetRand(0, 2147483647)) end
  SetSeed(7) local a, b = GetRand(0, 1000), GetRand(0, 1000) SetSeed(7) note(GetRand(0, 1000) == a and GetRand(0, 1000) == b)]],
  "9 1804289383 846930886 1681692777 1804289383 846930886 1681692777 1045618677 1863967299 1272579899 1199659537 1872465372 1381520923 254925627 1205188300 366127624 true "},
{"IsOdd follows the counter; a byte property keeps the low 8 bits", [[SetTime(0) note(IsOdd()) U() note(IsOdd())
  local k = NewObject() k.delay = 300 note(k.delay)]], "false true 44 "},
{"paths and their limit", [[local d = GetScriptPath('') note(string.sub(d, -8), GetReplayPath('r1') == string.sub(d, 1, -8) .. 'replay/r1')
  local n = string.rep('n', 255 - #d) note(#GetScriptPath(n), GetScriptPath(nil) == d) local a, b = GetScriptPath('a.lua'), GetReplayPath('b')
  note(string.sub(a, -13), string.sub(b, -9)) for _, f in ipairs({GetScriptPath, GetReplayPath, RunScript}) do E(f, n .. 'x') end]],
  "/script/ true 255 true /script/a.lua /replay/b GetScriptPath: the path would be longer than 255 characters GetReplayPath: the path would be longer than 255 characters RunScript: the path would be longer than 255 characters "},
{"instance fields keep their C++ types", [[local i = mk(AddLayer0) for _, f in ipairs({'hit', 'anim', 'state', 'dir', 'age', 'hp', 'vel'}) do
  for _, v in ipairs({300, -1, 70000, 2147483647}) do i[f] = v note(i[f]) end end]],
  "44 255 112 255 44 255 112 255 44 255 112 255 44 255 112 255 300 -1 70000 2147483647 300 -1 70000 2147483647 300 -1 70000 2147483647 "},
{"instance fields refuse wrong values; other keys are the instance's own", [[local i, j = mk(AddLayer0), mk(AddLayer0)
  for _, c in ipairs({"i.dir = 'x'", "i.hp = {}", "i.vel = nil"}) do E(loadstring("local i = ... " .. c), i) end
  i.foo = 7 local t = {[i] = 1} note(i.foo, i.Release, type(i.dir), t[i], i == i, i == j)]],
  "dir: must be a number (a direction), got string hp: must be a number (hit points), got table vel: must be a number (a FIXED speed), got nil 7 nil number 1 true false "},
{"a field's name made at run time is the field; other keys are the binding's", [[local i = mk(AddLayer0) local name = 'd' .. 'ir'
  i[name] = 3 note(i.dir, i[name], i[1], i.Dir, i[true]) i[1] = 5 note(i[1])
  for _, c in ipairs({"i.dir()", "i.hp = true"}) do E(loadstring("local i = ... " .. c), i) end]],
  "3 3 nil nil nil 5 attempt to call field 'dir' (a number value) hp: must be a number (hit points), got boolean "},
}
