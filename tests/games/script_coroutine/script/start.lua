-- Updater, collision callback, disposer and timeline function failing inside
-- coroutines (nested too), many times over.
function Fails() error("callback failed here") end
RunScript("testlib.lua")
local kind = TestLib.Kind(nil, {}, {size = 100})

local cases = {
  { "Update", function() AddTimeEvent(0, "Fails") return pcall(Update) end },
  { "updater", function() AddEnemy0(kind, "Fails", 10, 10, 0, 0, 0, 100) return pcall(Update) end },
  { "CheckEnemy", function()
      AddEnemy0(kind, nil, 10, 10, 0, 0, 0, 100)
      return pcall(CheckEnemy, AddLayer0(kind, nil, 10, 10, 0, 0, 0, 100), "Fails")
    end },
  { "Dispose", function()
      local it = AddLayer1(kind, nil, 0, 0, 0, 0, 0, 100)
      SetDisposer(it, "Fails")
      return pcall(Dispose, it)
    end },
}
for _, case in ipairs(cases) do
  for depth = 1, 2 do
    local body = function()
      for n = 1, 9000 do
        ClearEvent() ClearInstance()
        local ok, message = case[2]()
        assert(not ok and type(message) == "string" and string.find(message, "callback failed here", 1, true),
               case[1] .. ": " .. tostring(message))
      end
      return "done"
    end
    local co = coroutine.create(depth == 1 and body or function()
      local ok, r = coroutine.resume(coroutine.create(body))
      assert(ok, r)
      return r
    end)
    local ok, result = coroutine.resume(co)
    assert(ok and result == "done", case[1] .. ": " .. tostring(result))
    assert(select("#", coroutine.resume(coroutine.create(function() return 1 end))) == 2)
  end
end
ClearEvent() ClearInstance()
print("coroutines ok")
