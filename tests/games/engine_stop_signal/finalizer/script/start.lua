-- start.lua returns at once; the finalizer that shutdown runs never ends.
kept_until_shutdown = newproxy(true)
getmetatable(kept_until_shutdown).__gc = function()
  print("looping")
  io.stdout:flush()
  while true do end
end
