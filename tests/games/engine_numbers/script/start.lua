-- Engine number functions through their bindings (the unit tests check the
-- arithmetic itself): integer conversions of arguments and properties, a
-- script error for Mod by zero, repeatable random numbers, IsOdd by frame;
-- io.read("*n") reads numerals as tonumber does.
assert(Mod(-7, 3) == -1 and Mod(7, -3) == 1)
local ok, err = pcall(Mod, 1, 0)
assert(not ok and err == "Mod: division by zero", err)
assert(ToFIXED(1, 50) == 98286 and ToFIXED(-1, 50) == -32786)
assert(GetDirX(0, 100) == 100 and GetDirX(45, 100) == -71 and GetDirY(255, 100) == GetDirY(15, 100))
SetSeed(7)
local a, b = GetRand(0, 1000), GetRand(0, 1000)
SetSeed(7)
assert(GetRand(0, 1000) == a and GetRand(0, 1000) == b and GetRand(9, 9) == 9)
SetTime(0)
assert(IsOdd() == false)
Update()
assert(IsOdd() == true)
local kind = NewObject()
kind.delay = 300  -- a byte property keeps the low 8 bits
assert(kind.delay == 44)
local f = assert(io.open("numbers.txt", "w"))
f:write("123.4 -56e-2 0x1A 7e1x 9")
f:close()
f = assert(io.open("numbers.txt"))
local n = { f:read("*n", "*n", "*n", "*n") }
assert(n[1] == tonumber("123.4") and n[1] == 123 and n[2] == tonumber("-56e-2") and n[2] == 0 and
       n[3] == 26 and n[4] == 70, tostring(n[1]) .. " " .. tostring(n[2]) .. " " .. tostring(n[3]))
assert(f:read("*n") == nil and f:read(0) == "" and f:read(1) == "x")
assert(f:read("*n") == 9 and f:read(0) == nil)
f:close()
-- The table library is open; math and debug stay out.
local t = { 5, 3, 9, 1 }
table.sort(t, function(a, b) return a > b end)
assert(table.concat(t, ",") == "9,5,3,1" and table.getn(t) == 4 and math == nil and debug == nil)
print(7 / 2, 2.9, -7 / 2)
