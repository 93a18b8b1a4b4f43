-- Engine number functions through their bindings (the unit tests check the
-- arithmetic itself): integer conversions of arguments and properties, a
-- script error for Mod by zero, repeatable random numbers, IsOdd by frame.
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
print(7 / 2, 2.9, -7 / 2)
