-- Frames for ever, recorded into a GIF, until the run is stopped.
Update() Present()
print("looping")
while true do Update() Present() end
