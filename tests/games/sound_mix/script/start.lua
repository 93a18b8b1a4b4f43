-- Plays sound/test.wav once on channel 0 and keeps presenting frames until
-- --max-frames ends the run; the test reads what the mixer wrote.
local s = assert(LoadSound("test.wav"), "test.wav did not load")
assert(PlaySound(0, s, 0, -1) == 0)
while true do Update() end
