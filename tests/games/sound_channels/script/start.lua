-- The eight channels over time: plays that end by length, loop count or time
-- limit, fades in and out, volumes, -1 and out-of-range channels. The answers
-- must be SDL_mixer 1.2's (below, as it gave them in a window on its real
-- clock), and test.cmake pins the samples the mixer made (--audio). Every
-- timed event lies at least 300 ms away from the probes, so that SDL_mixer's
-- 46 ms buffers and real time did not change its answers.
RunScript("testlib.lua")
TestLib.WriteWav("beep.wav", 2205)  -- 200 ms
local beep = assert(LoadSound("beep.wav"))

-- Each line said is printed and kept, to be compared at the end.
local said = ""
local function say(...)
  local line = ""
  for i = 1, select("#", ...) do line = line .. (i > 1 and "\t" or "") .. tostring((select(i, ...))) end
  print(line)
  said = said .. line .. "\n"
end

local function wait(frames)
  for n = 1, frames do Update() Present() end
end

-- Which channels play: '-1' takes the free ones in turn (stopped at once).
local function busy()
  local free, got = {}, PlaySound(-1, beep, 0, -1)
  while got ~= -1 do free[got] = true got = PlaySound(-1, beep, 0, -1) end
  local s = ""
  for c = 0, 7 do
    if free[c] then StopSound(c) s = s .. "." else s = s .. "P" end
  end
  return s
end

-- Volumes are read only while nothing fades: a fade's volume depends on time.
local function volumes()
  local s = ""
  for c = 0, 7 do s = s .. " " .. SetVol(c, -1) end
  return s
end

-- Ends by length, by a time limit, after ten passes, fades in to full or to
-- a set volume, fades out, cannot fade at volume 0, a fade cut by a limit.
say("start", PlaySound(0, beep, 0, -1), PlaySound(1, beep, -1, 250), PlaySound(2, beep, 9, -1),
      FISound(3, beep, -1, 200, -1), SetVol(4, 100), FISound(4, beep, 0, 150, -1),
     PlaySound(5, beep, -1, -1), FOSound(5, 150), PlaySound(6, beep, -1, -1), SetVol(6, 0),
     FOSound(6, 100), PlaySound(7, beep, -1, 100), FOSound(7, 2000))
say("busy", busy())
wait(45)
SetVol(7, 128)  -- the limit cut its fade out at a volume that depends on time
say("after 720 ms", busy(), volumes())
say("fade out all", FOSound(-1, 100), FOSound(2, 100))
wait(45)
say("faded", busy(), volumes())

-- Two passes, a fade in cut by its limit, no limit at 0, a limit longer
-- than the sound, a fade in with a limit; then a second fade out is refused.
say("set all", SetVol(-1, 80), SetVol(0, 300), SetVol(1, -5), SetVol(-1, -1))
say("second", PlaySound(0, beep, 1, -1), FISound(1, beep, 0, 300, 150),
     PlaySound(2, beep, -1, 0), FISound(3, beep, 0, 100, -1), PlaySound(4, beep, 0, 1000),
     FISound(5, beep, -1, 100, 300), PlaySound(6, beep, 2, 500))
wait(60)
SetVol(1, 80)  -- as channel 7 above
say("after 960 ms", busy(), volumes())
say("fade twice", FOSound(2, 1000), FOSound(2, 1000), StopSound(2), SetVol(2, -1), busy())

-- Channels past the eighth: the mixer's own answers.
say("past 7", PlaySound(8, beep, 0, -1), FISound(100, beep, 0, 10, -1), SetVol(8, 50),
     FOSound(9, 10), StopSound(8), busy())
-- -1 with fades: the first free channel.
say("any", FISound(-1, beep, 0, 50, -1), FISound(-1, beep, -1, 50, 100), busy())
wait(45)
say("end", busy(), volumes())
-- Fades of 0 ms (made 1 ms), and an unload that stops the channels playing it.
local other = assert(LoadSound("beep.wav"))
say("zero fades", PlaySound(3, beep, -1, -1), FOSound(3, 0), FISound(4, beep, 0, 0, -1),
    PlaySound(5, other, -1, -1), PlaySound(6, other, 0, -1), UnloadSound(other), busy())
wait(30)
say("after", busy(), volumes())
-- A sound of no samples is none; a fade in of negative length starts silent.
TestLib.WriteWav("empty.wav", 0)
say("odd", LoadSound("empty.wav"), FISound(0, beep, 0, -5, -1), SetVol(0, -1))
StopSound(-1)
UnloadSound(beep)

assert(said == [[
start	0	1	2	3	128	4	5	1	6	128	0	7	1
busy	PPPPPPPP
after 720 ms	..PP..P.	 128 128 128 128 100 128 0 128
fade out all	2	0
faded	......P.	 128 128 128 128 100 128 0 128
set all	108	80	80	86
second	0	1	2	3	4	5	6
after 960 ms	..P.....	 128 80 80 80 80 80 80 80
fade twice	1	0	0	128	........
past 7	8	100	0	0	0	........
any	0	1	PP......
end	........	 128 80 128 80 80 80 80 80
zero fades	3	1	4	5	6	nil	...PP...
after	........	 128 80 128 80 80 80 80 80
odd	nil	0	0
]], "the mixer answered otherwise")
