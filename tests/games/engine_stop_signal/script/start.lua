-- A game loop inside a coroutine, every error swallowed: only a stop ends it.
local co = coroutine.create(function()
  while true do pcall(function() Update() Present() end) end
end)
print("looping")
io.stdout:flush()
while true do pcall(coroutine.resume, co) end
