-- The loop runs two coroutines deep; each level swallows errors with pcall.
local forever = newproxy(true)
getmetatable(forever).__gc = function() while true do end end
kept_until_shutdown = forever

local inner = coroutine.create(function()
  local n = 0
  while true do
    pcall(function()
      n = n + 1
      print("frame " .. n)
      Update()
      Present()
    end)
  end
end)
local outer = coroutine.create(function()
  while true do pcall(coroutine.resume, inner) end
end)
while true do pcall(coroutine.resume, outer) end
