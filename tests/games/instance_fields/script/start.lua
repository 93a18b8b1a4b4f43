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
-- Wrong values are refused with the binding's message; other keys are the
-- instance's own; handles compare and index as themselves.
local function fails(code, text) TestLib.ExpectError(text, loadstring("local i = ... " .. code), i) end
fails("i.dir = 'x'", "no match for function call '<unknown>' with the parameters (userdata, string)")
fails("i.hp = {}", "void <unknown>(Instance&,int)")
fails("i.vel = nil", "(userdata, nil)")
i.foo = 7
assert(i.foo == 7 and i.Release == nil and type(i.dir) == "number")
local t = {[i] = 1}
assert(t[i] == 1 and i == i and i ~= AddLayer0(k, nil, 0, 0, 0, 0, 0, -1))
-- A key made at run time is the same name; keys that are not a field's
-- name go to the binding, read or written.
local name = "d" .. "ir"
i[name] = 3
assert(i.dir == 3 and i[name] == 3)
assert(i[1] == nil and i.Dir == nil and i[true] == nil)
i[1] = 5
assert(i[1] == 5)
fails("i.dir()", "attempt to call field 'dir' (a number value)")
fails("i.hp = true", "(userdata, boolean)")
