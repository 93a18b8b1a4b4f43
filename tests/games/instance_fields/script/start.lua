-- Each field stores its C++ type: bytes wrap, ints keep the number.
RunScript("testlib.lua")
local k = NewObject() k:SetAnimSize(1) k:SetAnim(0, 0, 0, 1, true)
local i = AddLayer0(k, nil, 0, 0, 0, 0, 0, -1)
local bytes = {[300] = 44, [-1] = 255, [70000] = 112, [2147483647] = 255}
for _, f in ipairs({"hit", "anim", "state", "dir", "age", "hp", "vel"}) do
  for v, byte in pairs(bytes) do
    i[f] = v
    local want = (f == "age" or f == "hp" or f == "vel") and v or byte
    assert(i[f] == want, f .. " = " .. v .. " reads " .. i[f])
  end
end
-- Wrong values are refused in plain words at the assignment's line; other
-- keys are the instance's own; handles compare and index as themselves.
local function fails(code, text)
  TestLib.ExpectError(text, loadstring("local i = ...\n" .. code, "=set"), i)
end
fails("i.dir = 'x'", "set:2: dir: must be a number (a direction), got string")
fails("i.hp = {}", "set:2: hp: must be a number (hit points), got table")
fails("i.vel = nil", "set:2: vel: must be a number (a FIXED speed), got nil")
i.foo = 7
assert(i.foo == 7 and i.Release == nil and type(i.dir) == "number")
local t = {[i] = 1}
assert(t[i] == 1 and i == i and i ~= AddLayer0(k, nil, 0, 0, 0, 0, 0, -1))
