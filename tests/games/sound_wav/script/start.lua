-- Samples as a row (tests/games/lib/rows.lua; the browser comparison plays it too, tests/web):
-- a WAV the script writes, nil for a missing file (nothing logged or printed), the
-- eight channels, channels out of range, use after unload.
RunScript("testlib.lua")
RunScript("rows.lua")
Rows {
{"samples and the eight channels", [[TestLib.WriteWav('beep.wav', 2205) local beep = LoadSound('beep.wav')
  note(beep ~= nil, LoadSound('nothere.wav')) E(LoadSound, string.rep('w', 300)) E(LoadSound, nil) local used, n = {}, 0
  for k = 1, 8 do local c = PlaySound(-1, beep, -1, -1) if c >= 0 and c < 8 and not used[c] then used[c], n = true, n + 1 end end
  note(n, PlaySound(-1, beep, 0, -1)) StopSound(-1) local ch = PlaySound(-1, beep, 0, -1) note(ch >= 0 and ch < 8, PlaySound(7, beep, 2, 100),
  FISound(3, beep, 0, 50, -1), SetVol(5, 64), SetVol(5, -1), FOSound(7, 10), StopSound(-1)) E(SetVol, -2, 10) E(StopSound, -40000)
  E(FOSound, -2147483648, 10) StopSound(-1) U() UnloadSound(beep) UnloadSound(nil) E(UnloadSound, beep) E(PlaySound, -1, beep, 0, -1)
  E(FISound, -1, beep, 0, 10, -1) local again = LoadSound('beep.wav') GetScriptPath('something-else.lua')
  note(PlaySound(-1, again, 0, -1) >= 0) UnloadSound(again) note(io.open(GetScriptPath('log.txt')) == nil)]],
  "true nil LoadSound: the path would be longer than 255 characters LoadSound: the file name is nil 8 -1 true 7 3 128 64 1 0 SetVol: channel -2 does not exist (channels are 0 to 7; -1 means all) StopSound: channel -40000 does not exist (channels are 0 to 7; -1 means all) FOSound: channel -2147483648 does not exist (channels are 0 to 7; -1 means all) UnloadSound: the sound was already unloaded PlaySound: the sound was unloaded FISound: the sound was unloaded true true "},
}
