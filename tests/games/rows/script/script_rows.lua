-- Loading and running scripts: precompiled chunks, require, integer loops, deep patterns, names,
-- callbacks failing inside coroutines, replay files as data.
function put(path, text) local f = io.open(path, "wb") f:write(text) f:close() end
-- The script a good replay names (it runs before the replay sets its globals), and what a hostile
-- one tries to reach (it must never run).
put(GetScriptPath("stage.lua"), "stage_runs = (stage_runs or 0) + 1 saw_replay = tostring(VAR_replay)")
put(GetScriptPath("payload.lua"), "io.open('pwned', 'w'):close()")
-- A replay file with `text` run: what it reported, and whether it ran anything.
function hostile(name, text) put(GetReplayPath(name), text) function _ALERT(m) note(m) end
  VAR_replay, stage_runs = nil, nil RunReplay(name) note(VAR_replay, stage_runs) Remove(GetReplayPath(name)) end
HEADER = "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=3\nVAR_score=9\n"
return {
{"precompiled chunks are refused by every loader", [[local bin = string.dump(function() io.open('pwned', 'w'):close() end)
  put(GetScriptPath('bin.lua'), bin) put('binmod.lua', bin) local function t(a, m) note(a, (string.gsub(m, '^[^ ]*/', ''))) end
  t(loadstring(bin)) t(loadfile(GetScriptPath('bin.lua'))) t(pcall(dofile, GetScriptPath('bin.lua'))) t(pcall(require, 'binmod'))
  function _ALERT(m) t('alert', m) end RunScript('bin.lua') note(loadstring('return 1 + 1')())]],
  "nil [string \"\27LuaQ\"]: precompiled chunks are not loaded (only Lua source text) nil bin.lua: precompiled chunks are not loaded (only Lua source text) false bin.lua: precompiled chunks are not loaded (only Lua source text) false error loading package 'binmod' (binmod.lua: precompiled chunks are not loaded (only Lua source text)) alert bin.lua: precompiled chunks are not loaded (only Lua source text) 2 "},
{"require: ?;?.lua from the game folder, once per name; LUA_PATH", [[put('mod.lua', 'loads = (loads or 0) + 1 return {name = _REQUIREDNAME}')
  os.execute('mkdir -p lib') put('lib/quiet.lua', 'quiet_loads = (quiet_loads or 0) + 1') local m = require('mod')
  note(m.name, require('mod') == m, loads) E(require, 'absent') LUA_PATH = 'lib/?.lua' note(require('quiet'), require('quiet'), quiet_loads)]],
  "mod true 1 could not load package 'absent' from path '?;?.lua' true true 1 "},
{"numeric for loops at the integer limits", [[for _, l in ipairs({{2147483645, 2147483647, 1}, {-2147483646, -2147483648, -1},
  {-2147483648, 2147483647, 1073741824}, {2147483647, -2147483648, -2147483648}, {0, 2147483647, 2147483647}, {1, 10, 3}, {3, 1, -1},
  {1, 0, 1}, {0, 1, -1}, {5, 5, 2147483647}, {7, 3, 0}}) do local n, last = 0, nil
  for i = l[1], l[2], l[3] do n, last = n + 1, i if n == 50 then break end end note(n .. ',' .. tostring(last)) end]],
  "3,2147483647 3,-2147483648 4,1073741824 2,-1 2,2147483647 4,10 3,1 0,nil 0,nil 1,5 50,7 "},
{"deep patterns are an error", [[E(string.find, 'aaaa', string.rep('a*', 70000)) E(string.gsub, 'aaaa', string.rep('(', 40000), '')
  note(string.find('aaab', string.rep('a?', 100) .. 'b'), string.match('key = value', '^(%w+)%s*=%s*(%w+)$'))]], "pattern too complex too many captures 1 key value "},
{"'' names a function like any other; the names kept are bounded", [[local i = AddEnemy0(K, '', 0, 0, 0, 0, 0, 100) E(Update)
  SetUpdater(i, nil) U() SetDisposer(i, '') E(Dispose, i) ClearInstance() local s = mk(AddLayer0) SetDisposer(s, '') SetDisposer(s, nil)
  Dispose(s) AddEnemy0Event(0, K, '', 0, 0, 0, 0, 0, 100) E(Update) ClearEvent() local long = string.rep('f', 256)
  E(AddTimeEvent, 0, long) E(AddInstanceEvent, 0, long, nil) E(AddEnemy0Event, 0, K, long, 0, 0, 0, 0, 0, 1)
  E(AddLayer2, K, long, 0, 0, 0, 0, 0, 1) E(SetUpdater, nil, long) E(SetDisposer, nil, long) AddTimeEvent(0, string.rep('f', 255))]], "attempt to call a nil value attempt to call a nil value attempt to call a nil value AddTimeEvent: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters AddInstanceEvent: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters AddEnemy0Event: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters AddLayer2: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters SetUpdater: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters SetDisposer: the function name 'ffffffffffffffffffffffffffffffff...' is longer than 255 characters "},
{"a kind made by a finalizer while the state closes is freed too (the LeakSanitizer build)", [[TestLib.made_at_close = newproxy(true)
  getmetatable(TestLib.made_at_close).__gc = function() NewObject():SetAnimSize(3) end]], ""},
{"callbacks failing inside coroutines", [[function Fails() error('callback failed here') end local kind = TestLib.Kind(nil, {}, {size = 100})
  for _, case in ipairs({function() AddTimeEvent(0, 'Fails') return pcall(Update) end,
    function() AddEnemy0(kind, 'Fails', 10, 10, 0, 0, 0, 100) return pcall(Update) end,
    function() AddEnemy0(kind, nil, 10, 10, 0, 0, 0, 100) return pcall(CheckEnemy, AddLayer0(kind, nil, 10, 10, 0, 0, 0, 100), 'Fails') end,
    function() local it = AddLayer1(kind, nil, 0, 0, 0, 0, 0, 100) SetDisposer(it, 'Fails') return pcall(Dispose, it) end}) do
    for depth = 1, 2 do local body = function() for n = 1, 9000 do ClearEvent() ClearInstance() local ok, m = case()
        assert(not ok and string.find(m, 'callback failed here', 1, true), m) end return 'done' end
      local co = coroutine.create(depth == 1 and body or function() local ok, r = coroutine.resume(coroutine.create(body)) assert(ok, r) return r end)
      local ok, r = coroutine.resume(co) note(ok, r, select('#', coroutine.resume(coroutine.create(function() return 1 end)))) end end]],
  "true done 2 true done 2 true done 2 true done 2 true done 2 true done 2 true done 2 true done 2 "},
{"a replay of code", [[hostile('R1_code.lua', "os.execute('touch pwned')\n")]], "~/replay/R1_code.lua: not a replay file: line 1 is not a line of a replay nil nil "},
{"a replay with code after the records", [[hostile('R2_tail.lua', HEADER .. "rep(1,2)\nio.open('pwned','w')\n")]], "~/replay/R2_tail.lua: not a replay file: line 7 is not a line of a replay nil nil "},
{"a replay naming a script outside script/", [[hostile('R3_up.lua', "RunScript('../script/payload.lua')\n" .. HEADER)]], "~/replay/R3_up.lua: not a replay file: line 1 is not a line of a replay nil nil "},
{"a replay naming an absolute script", [[hostile('R4_abs.lua', "RunScript('/tmp/x.lua')\n" .. HEADER)]], "~/replay/R4_abs.lua: not a replay file: line 1 is not a line of a replay nil nil "},
{"a replay with two statements a line", [[hostile('R5_inside.lua', "RunScript('stage.lua') RunScript('payload.lua')\n" .. HEADER)]], "~/replay/R5_inside.lua: not a replay file: line 1 is not a line of a replay nil nil "},
{"a precompiled replay", [[hostile('R6_binary.lua', string.dump(function() os.execute('touch pwned') end))]], "~/replay/R6_binary.lua: not a replay file: line 1 does not end nil nil "},
{"a short replay", [[hostile('R7_short.lua', "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\n")]], "~/replay/R7_short.lua: not a replay file: it ends after 3 of the 5 lines that every replay has nil nil "},
{"a replay without its last line feed", [[hostile('R8_noend.lua', HEADER .. 'rep(1,2)')]], "~/replay/R8_noend.lua: not a replay file: line 6 does not end nil nil "},
{"a replay with CR LF", [[hostile('R9_crlf.lua', "RunScript('stage.lua')\r\n")]], "~/replay/R9_crlf.lua: not a replay file: line 1 is not a line of a replay nil nil "},
{"a replayed key past a byte", [[hostile('RA_key.lua', HEADER .. 'rep(1,256)\n')]], "~/replay/RA_key.lua: not a replay file: line 6 is not a line of a replay nil nil "},
{"a replay record of three numbers", [[hostile('RB_frame.lua', HEADER .. 'rep(1,2,3)\n')]], "~/replay/RB_frame.lua: not a replay file: line 6 is not a line of a replay nil nil "},
{"a replay record with a space", [[hostile('RC_spaces.lua', HEADER .. 'rep( 1,2)\n')]], "~/replay/RC_spaces.lua: not a replay file: line 6 is not a line of a replay nil nil "},
{"an empty replay", [[hostile('RD_empty.lua', '')]], "~/replay/RD_empty.lua: not a replay file: it ends after 0 of the 5 lines that every replay has nil nil "},
{"a replay life that is code", [[hostile('RE_life.lua', "RunScript('stage.lua')\nRunScript('stage.lua')\nVAR_replay=true\nVAR_life=os.exit()\nVAR_score=1\n")]], "~/replay/RE_life.lua: not a replay file: line 4 is not a line of a replay nil nil "},
{"FIFOs and missing files are refused, not waited on", [[function _ALERT(m) note(m) end os.execute("mkfifo '" .. GetReplayPath('RF_fifo.lua') .. "'")
  RunReplay('RF_fifo.lua') Remove(GetReplayPath('RF_fifo.lua')) os.execute("mkfifo '" .. GetScriptPath('fifo.lua') .. "'") RunScript('fifo.lua')
  Remove(GetScriptPath('fifo.lua')) RunReplay('missing.lua')]], "~/replay/RF_fifo.lua: not a replay file: not a plain file cannot read ~/script/fifo.lua: not a regular file cannot read ~/replay/missing.lua: No such file or directory "},
{"what the engine writes plays", [[SaveReplay(1, 0) SaveReplay(2, 255) SaveReplay(-1, 7) SaveReplay(2147483647, 35)
  SaveReplayFile('ok', 'stage.lua', 'stage.lua', -5, 2147483647) function _ALERT(m) note(m) end stage_runs = 0 RunReplay('ok_stage.lua')
  Remove(GetReplayPath('ok_stage.lua')) note(stage_runs, saw_replay, VAR_replay, VAR_life, VAR_score) U() note(GetRkey()) U() note(GetRkey())
  ClearEvent() SaveReplay(1, 9) SaveReplayFile('last', 'stage.lua', 'stage.lua', 1, 1) RunReplay('last_stage.lua') Remove(GetReplayPath('last_stage.lua'))
  U(5) note(GetRkey())]], "2 nil true -5 2147483647 0 255 9 "},
}
