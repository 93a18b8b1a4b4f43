-- Buttons from input.txt (steps by Update count, so these rows run first) and replayed keys.
function on(prefix, names) local s = "" for _, q in ipairs(names) do local v = _G[prefix .. q]() assert(v == 0 or v == 1)
  if v == 1 then s = s .. q .. "," end end return s end
local live = {"U", "UL", "L", "DL", "D", "DR", "R", "UR", "Start", "A", "X", "Y"}
function live_on() return on("Is", live) .. GetKey() end
return {
{"held from the zero line on", [[note(live_on())]], "A,2 "},
{"each query reads its own button; GetKey; a second poll changes nothing", [[for b = 1, 11 do U() JoystickUpdate() note(live_on()) end]],
  "U,28 UL,24 L,20 DL,16 D,12 DR,8 R,4 UR,32 Start,0 X,1 Y,0 "},
{"GetKey: the first stick button in priority order, A and X", [[for n = 1, 10 do U() note(GetKey()) end]], "32 24 8 16 28 12 20 35 2 0 "},
{"the replayed queries", [[for _, k in ipairs({30, 1, 5, 9, 13, 17, 21, 25, 29, 33, 95}) do rep(GetTime() + 1, k) U()
  note(on("IsR", {"U", "D", "L", "R", "UL", "DL", "DR", "UR", "A", "X"})) end note(GetRkey())]],
  "U,A, X, R,X, DR,X, D,X, DL,X, L,X, UL,X, U,X, UR,X, A,X, 95 "},
}
