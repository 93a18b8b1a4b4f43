-- Script numbers are 32-bit integers: literals and strings truncate toward
-- zero, '/' truncates, '%' is floored, overflow wraps, text is "%d".
assert(7 / 2 == 3 and -7 / 2 == -3)
assert(2.9 == 2 and -2.9 == -2 and tonumber("2.9") == 2 and "3.7" + 0 == 3)
assert(-7 % 3 == 2 and 7 % -3 == -2)
assert(2147483647 + 1 == -2147483648)
assert(tostring(10 / 4) == "2")
local z = 0
local ok, err = pcall(function() return 5 / z end)
assert(not ok and string.find(err, "attempt to divide by zero"), err)
ok, err = pcall(function() return 5 % z end)
assert(not ok and string.find(err, "attempt to divide by zero"), err)
local m, n = -2147483648, -1
assert(m / n == m)
-- Engine arithmetic helpers.
assert(Mod(-7, 3) == -1 and Mod(7, -3) == 1)
ok, err = pcall(Mod, 1, 0)
assert(not ok and err == "Mod: division by zero", err)
assert(ToFIXED(1, 50) == 98286 and ToFIXED(-1, 50) == -32786)
assert(GetDirX(0, 100) == 100 and GetDirX(45, 100) == -71 and GetDirY(255, 100) == GetDirY(15, 100))
SetSeed(7)
local a, b, c = GetRand(0, 1000), GetRand(0, 1000), GetRand(0, 1000)
SetSeed(7)
assert(GetRand(0, 1000) == a and GetRand(0, 1000) == b and GetRand(0, 1000) == c)
assert(GetRand(5, 6) == 5 and GetRand(9, 9) == 9)
-- IsOdd follows the frame counter.
SetTime(0)
assert(IsOdd() == false)
Update()
assert(IsOdd() == true)
-- A byte property keeps the low 8 bits.
local kind = NewObject()
kind.delay = 300
assert(kind.delay == 44)
print(7 / 2, 2.9, -7 / 2)
