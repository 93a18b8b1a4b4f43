-- RunReplay accepts exactly the lines SaveReplayFile writes: anything else is
-- reported through _ALERT, runs nothing, and the caller goes on.
local function write(name, text)
  local f = assert(io.open(GetReplayPath(name), "wb")) f:write(text) f:close()
end
local header = "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=3\nVAR_score=9\n"
local alerts = {}
function _ALERT(message) alerts[#alerts + 1] = message end

-- { file name, contents, text the report must hold }
local hostile = {
  { "R1_code.lua", "os.execute('touch pwned')\n", "line 1 is not a line of a replay" },
  { "R2_tail.lua", header .. "rep(1,2)\nio.open('pwned','w')\n", "line 7 is not a line of a replay" },
  { "R3_up.lua", "RunScript('../script/payload.lua')\n" .. header, "line 1 is not" },
  { "R4_abs.lua", "RunScript('/tmp/x.lua')\n" .. header, "line 1 is not" },
  { "R5_inside.lua", "RunScript('stage.lua') RunScript('payload.lua')\n" .. header, "line 1 is not" },
  { "R6_binary.lua", string.dump(function() os.execute("touch pwned") end), "not a replay" },
  { "R7_short.lua", "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\n", "ends after 3 of the 5" },
  { "R8_noend.lua", header .. "rep(1,2)", "line 6 does not end" },
  { "R9_crlf.lua", "RunScript('stage.lua')\r\n", "line 1 is not" },
  { "RA_key.lua", header .. "rep(1,256)\n", "line 6 is not" },
  { "RB_frame.lua", header .. "rep(1,2,3)\n", "line 6 is not" },
  { "RC_spaces.lua", header .. "rep( 1,2)\n", "line 6 is not" },
  { "RD_empty.lua", "", "ends after 0 of the 5" },
  { "RE_life.lua", "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=os.exit()\nVAR_score=1\n", "line 4 is not" },
}
for i, case in ipairs(hostile) do
  write(case[1], case[2])
  VAR_replay, stage_runs = nil, nil
  ClearEvent()
  RunReplay(case[1])
  assert(#alerts == i, case[1] .. ": " .. #alerts .. " reports")
  assert(string.find(alerts[i], case[1], 1, true) and string.find(alerts[i], case[3], 1, true),
         case[1] .. ": " .. alerts[i])
  assert(VAR_replay == nil and stage_runs == nil, case[1] .. " ran")
end
os.execute("mkfifo " .. GetReplayPath("RF_fifo.lua"))
RunReplay("RF_fifo.lua")
assert(string.find(alerts[#alerts], "RF_fifo.lua: not a replay file: not a plain file", 1, true), alerts[#alerts])
-- The same for a script: the loader refuses it instead of waiting on it.
os.execute("mkfifo " .. GetScriptPath("fifo.lua"))
RunScript("fifo.lua")
assert(string.find(alerts[#alerts], "fifo.lua: not a regular file", 1, true), alerts[#alerts])
RunReplay("missing.lua")
assert(alerts[#alerts] == "cannot read " .. GetReplayPath("missing.lua") .. ": No such file or directory")

-- What the engine writes (negative and large frames, every key byte) plays.
ClearEvent()
SaveReplay(1, 0) SaveReplay(2, 255) SaveReplay(-1, 7) SaveReplay(2147483647, 35)
SaveReplayFile("ok", "stage.lua", "stage.lua", -5, 2147483647)
local count = #alerts
stage_runs = 0
RunReplay("ok_stage.lua")
assert(#alerts == count, alerts[#alerts])
assert(stage_runs == 2 and saw_replay == "nil", "the scripts ran after the globals were set")
assert(VAR_replay == true and VAR_life == -5 and VAR_score == 2147483647)
Update() assert(GetRkey() == 0)
Update() assert(GetRkey() == 255)
-- After the last record its key holds.
ClearEvent() SaveReplay(1, 9) SaveReplayFile("last", "stage.lua", "stage.lua", 1, 1)
RunReplay("last_stage.lua")
for n = 1, 5 do Update() end
assert(GetRkey() == 9, GetRkey())
print("replay data ok")
