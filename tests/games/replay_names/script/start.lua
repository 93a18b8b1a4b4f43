-- Refused names: an error, no file anywhere, and the records kept.
RunScript("testlib.lua")
-- { prefix, first, second, text of the error }
local refused = {
  { "../../escape", "a.lua", "stage.lua", "the prefix '../../escape' holds a '/'" },
  { "ok", "a.lua", "sub/stage.lua", "the second script name 'sub/stage.lua' holds a '/'" },
  { "ok\0../../x", "a.lua", "stage.lua", "the prefix 'ok...' holds a NUL byte" },
  { "ok", "a.lua", "stage.lua\0x", "the second script name 'stage.lua...' holds a NUL byte" },
  { "ok", "a\0.lua", "stage.lua", "the first script name 'a...' holds a NUL byte" },
  { "ok", "../replay/x.lua", "stage.lua", "leaves the script folder" },
  { "ok", "/etc/x.lua", "stage.lua", "leaves the script folder" },
}
ClearEvent()
SaveReplay(1, 2)
for _, c in ipairs(refused) do TestLib.ExpectError(c[4], SaveReplayFile, c[1], c[2], c[3], 1, 2) end
assert(GetReplayFiles() == 0)
-- A script name in a sub-folder of script/ is still fine, and the record
-- kept through all the refusals is written.
SaveReplayFile("..", "a.lua", "stage.lua", 1, 2)
assert(Remove(GetReplayPath(".._stage.lua")) == 0)
SaveReplay(1, 2)
SaveReplayFile("ok", "levels/a.lua", "stage.lua", 1, 2)
local f = assert(io.open(GetReplayPath("ok_stage.lua"), "rb"))
assert(f:read("*a") == "RunScript('levels/a.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=1\nVAR_score=2\nrep(1,2)\n")
f:close()
print("names ok")
