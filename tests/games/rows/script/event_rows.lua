-- Replay files and ClearEvent's records, as scripts see them (the listing row runs first); the
-- timeline: event_update.
function text(name) local f = io.open(GetReplayPath(name), "rb") local s = f and f:read("*a") if f then f:close() end return s end
function files() local p = io.popen("ls -A '" .. GetReplayPath("") .. "'") local s = p:read("*a") p:close() return s end
-- A refused name: the error, nothing written, and the records kept for the next file.
function refused(prefix, first, second) SaveReplay(4, 8) E(SaveReplayFile, prefix, first, second, 1, 2) note(files())
  SaveReplayFile("k", "a", "b", 1, 2) note(string.find(text("k_b"), "rep(4,8)", 1, true) ~= nil) Remove(GetReplayPath("k_b")) end
return {
{"the listing: names longer than four in byte order", [[local function touch(n) io.open(GetReplayPath(n), 'w'):close() end
  local function names(n) for i = -1, n do note(GetReplayFile(i)) end end names(0) touch('abcd') touch('abcde') note(GetReplayFiles()) names(1)
  for _, n in ipairs({'b_stage', 'B_stage', 'a_stage'}) do touch(n) end os.execute("mkdir '" .. GetReplayPath('zdirectory') .. "'")
  note(GetReplayFiles()) names(5) os.execute("mv '" .. GetReplayPath('') .. "' gone") note(GetReplayFiles()) names(5)
  os.execute("rm -r gone && mkdir '" .. GetReplayPath('') .. "'")]],
  "nil nil 1 nil abcde nil 5 nil B_stage a_stage abcde b_stage zdirectory nil -1 nil B_stage a_stage abcde b_stage zdirectory nil "},
{"ClearEvent empties the timeline, the records and the key; IsOdd", [[rep(1, 33) U() f'a' AddTimeEvent(0, 'a') rep(5, 9)
  SaveReplay(1, 2) SetTime(7) note(IsOdd(), GetRkey()) ClearEvent() note(GetTime(), GetRkey()) for n = 1, 4 do note(IsOdd()) U() end
  SaveReplayFile('c', 'a', 'b', 0, 0) note(string.find(text('c_b'), 'rep(', 1, true)) Remove(GetReplayPath('c_b'))]],
  "true 33 0 0 false true false true nil "},
{"a replay file byte for byte", [[SaveReplay(1, 0) SaveReplay(9, 35) SaveReplay(3, 255) SaveReplay(-1, 2) SaveReplayFile('a', 'b.lua', 'c.lua', 3, 1200)
  note(text('a_c.lua'), files()) SaveReplayFile('a', 'x', 'c.lua', -1, -5) note(text('a_c.lua')) Remove(GetReplayPath('a_c.lua'))]],
  "RunScript('b.lua')\nRunScript('c.lua')\nVAR_replay=true\nVAR_life=3\nVAR_score=1200\nrep(1,0)\nrep(9,35)\nrep(3,255)\nrep(-1,2)\n a_c.lua\n RunScript('x')\nRunScript('c.lua')\nVAR_replay=true\nVAR_life=-1\nVAR_score=-5\n "},
{"script names may lie in folders of script/", [[SaveReplay(1, 2) SaveReplayFile('..', 'a.lua', 'stage.lua', 1, 2)
  note(Remove(GetReplayPath('.._stage.lua'))) SaveReplay(1, 2) SaveReplayFile('ok', 'levels/a.lua', 'stage.lua', 1, 2)
  note(text('ok_stage.lua')) Remove(GetReplayPath('ok_stage.lua'))]],
  "0 RunScript('levels/a.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=1\nVAR_score=2\nrep(1,2)\n "},
{"replay name with a quote", [[refused('p', "b')os.exit()--", 'c')]], "SaveReplayFile: the first script name 'b')os.exit()--' holds a quote, backslash or line break  true "},
{"replay name with a backslash", [[refused('p', 'b', 'c\\')]], "SaveReplayFile: the second script name 'c\\' holds a quote, backslash or line break  true "},
{"replay name with a line feed", [[refused('p\n', 'b', 'c')]], "SaveReplayFile: the prefix 'p\n' holds a quote, backslash or line break  true "},
{"replay name with a carriage return", [[refused('p', 'b\r', 'c')]], "SaveReplayFile: the first script name 'b\r' holds a quote, backslash or line break  true "},
{"replay name quoted last", [[refused('p', 'b', "c'")]], "SaveReplayFile: the second script name 'c'' holds a quote, backslash or line break  true "},
{"nil prefix", [[refused(nil, 'b', 'c')]], "SaveReplayFile: the prefix is nil  true "},
{"nil first name", [[refused('p', nil, 'c')]], "SaveReplayFile: the first script name is nil  true "},
{"nil second name", [[refused('p', 'b', nil)]], "SaveReplayFile: the second script name is nil  true "},
{"file name too long", [[refused(string.rep('n', 250), 'b', 'cccccc')]], "SaveReplayFile: the file name would be longer than 255 characters  true "},
{"path too long", [[refused(string.rep('n', 250), 'b', 'c')]], "SaveReplayFile: the path would be longer than 255 characters  true "},
{"prefix leaving replay/", [[refused('../../escape', 'a.lua', 'stage.lua')]], "SaveReplayFile: the prefix '../../escape' holds a '/' (it is part of a file name)  true "},
{"second name in a folder", [[refused('ok', 'a.lua', 'sub/stage.lua')]], "SaveReplayFile: the second script name 'sub/stage.lua' holds a '/' (it is part of a file name)  true "},
{"NUL in the prefix", [[refused('ok\0../../x', 'a.lua', 'stage.lua')]], "SaveReplayFile: the prefix 'ok...' holds a NUL byte  true "},
{"NUL in the second name", [[refused('ok', 'a.lua', 'stage.lua\0x')]], "SaveReplayFile: the second script name 'stage.lua...' holds a NUL byte  true "},
{"NUL in the first name", [[refused('ok', 'a\0.lua', 'stage.lua')]], "SaveReplayFile: the first script name 'a...' holds a NUL byte  true "},
{"first name leaving script/", [[refused('ok', '../replay/x.lua', 'stage.lua')]], "SaveReplayFile: the first script name '../replay/x.lua' leaves the script folder  true "},
{"absolute first name", [[refused('ok', '/etc/x.lua', 'stage.lua')]], "SaveReplayFile: the first script name '/etc/x.lua' leaves the script folder  true "},
{"a file that cannot be written keeps the records", [[SaveReplay(7, 3) local dir = GetReplayPath('')
  os.execute("rmdir '" .. dir .. "'") local ok, e = pcall(SaveReplayFile, 'p', 'b', 'c', 0, 0) note(e == 'SaveReplayFile: cannot create ' .. dir .. 'p_c: No such file or directory')
  os.execute("mkdir -p '" .. dir .. "p_c/inner'") ok, e = pcall(SaveReplayFile, 'p', 'b', 'c', 0, 0) note(string.find(e, 'SaveReplayFile: cannot write', 1, true) == 1, files())
  os.execute("rm -r '" .. dir .. "p_c'") SaveReplayFile('p', 'b', 'c', 0, 0) note(string.find(text('p_c'), 'rep(7,3)', 1, true) ~= nil) Remove(GetReplayPath('p_c'))]],
  "true true p_c\n true "},
{"Remove takes the path as given", [[io.open('victim', 'w'):close() io.open(GetReplayPath('victim'), 'w'):close()
  note(Remove('victim'), io.open('victim'), Remove('victim'), Remove(nil), Remove(GetReplayPath('victim')))]], "0 nil -1 -1 0 "},
}
