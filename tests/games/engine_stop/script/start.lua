-- --max-frames ends the run after that many Updates, even inside pcall.
local n = 0
while true do
  pcall(function()
    n = n + 1
    print("frame " .. n)
    Update()
    Present()
  end)
end
