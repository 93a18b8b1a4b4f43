for n = 1, 3 do Update() Present() end
error("fails at frame 3")
