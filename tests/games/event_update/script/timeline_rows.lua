-- The timeline as scripts drive it through Update: order, delays, SetTime, overdue and wrapping
-- delays, ClearEvent and failures inside a fire, spawn events, what events refer to. Rows as in
-- tests/games/lib/rows.lua; the browser comparison plays them too (tests/web).
return {
{"order, delays, delay 0", [[f'a' f'b' f'c' f'd' AddTimeEvent(10, 'a') AddTimeEvent(3, 'b') AddTimeEvent(10, 'c') AddTimeEvent(3, 'd')
  U(3) note('|') U(1) note('|') U(6) note('|') U(1) note(GetTime())]], "| b d | | a c 11 "},
{"a fired function sees its own time; delay 0 from it waits behind the due ones", [[f'late' f'b' f'next'
  function a() note('a' .. GetTime()) AddTimeEvent(0, 'late') end AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(1, 'next')
  U() note('|') U() note(GetTime())]], "a0 b late | next 2 "},
{"SetTime outside a fire", [[f'fifty' f'hundred' AddTimeEvent(50, 'fifty') AddTimeEvent(100, 'hundred') SetTime(100) U() note(GetTime())
  AddTimeEvent(2, 'fifty') SetTime(90) U(13) note('|') U() note(GetTime())]], "hundred 101 | fifty 104 "},
{"SetTime back inside a fire", [[f'b' f'c' function a() note('a') SetTime(0) end SetTime(100)
  AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(0, 'c') U() note(GetTime()) SetTime(100) U()]], "a 1 b c "},
{"SetTime forward inside a fire discards what it passes", [[f'x' f'y' function jump() note('jump') SetTime(20) end
  AddTimeEvent(0, 'jump') AddTimeEvent(5, 'x') AddTimeEvent(20, 'y') U() note(GetTime()) SetTime(5) U()]], "jump y 21 "},
{"overdue events never fire; negative delays wrap", [[f'past' f'far' SetTime(10) AddTimeEvent(-3, 'past') U() note(GetTime())
  SetTime(7) U() SetTime(2) AddTimeEvent(-5, 'far') U(5) note(GetTime()) SetTime(-3) U()]], "11 7 far "},
{"an overdue event added by a fire", [[f'past' f'after' SetTime(10) function back() note('back') AddTimeEvent(-4, 'past') end
  AddTimeEvent(0, 'back') AddTimeEvent(0, 'after') AddTimeEvent(1, 'after') U() note(GetTime()) U() note(GetTime()) SetTime(6) U()]],
  "back after 11 after 12 "},
{"rep is absolute frame - 1 and its key holds", [[SetTime(50) rep(3, 30) rep(0, 7) rep(1, 200) SetTime(0)
  for _, n in ipairs({1, 1, 1, 20}) do U(n) note(GetRkey()) end note(GetTime()) SetTime(-1) U() note(GetRkey())]], "200 200 30 30 23 7 "},
{"ClearEvent inside a fire", [[f'b' f'c' function a() note('a') ClearEvent() note(GetTime()) end SetTime(40)
  AddTimeEvent(0, 'a') AddTimeEvent(0, 'b') AddTimeEvent(3, 'c') rep(60, 5) U() note(GetTime()) SetTime(43) U() SetTime(59) U() note(GetRkey())]],
  "a 0 1 0 "},
{"events added after a ClearEvent in the same fire live on", [[f'b' f'c' function a() note('a') ClearEvent()
  AddTimeEvent(0, 'b') ClearEvent() AddTimeEvent(0, 'c') AddTimeEvent(2, 'b') end AddTimeEvent(0, 'a') AddTimeEvent(0, 'b')
  U() note(GetTime()) U(2)]], "a c 1 b "},
{"ClearInstance and ClearEvent from time and instance events", [[function wipe() note('wipe') ClearInstance() ClearEvent() end
  AddTimeEvent(0, 'wipe') AddInstanceEvent(0, 'wipe', AddEnemy0(K, nil, 0, 0, 0, 0, 0, 9)) AddTimeEvent(0, 'wipe') U(2) note(GetTime(), free())]],
  "wipe 2 1000 "},
{"a failing event stays, with the counter, until it is fixed", [[f'first' f'last' SetTime(5) AddTimeEvent(0, 'first')
  AddTimeEvent(0, 'missing') AddTimeEvent(0, 'last') E(Update) note(GetTime()) function missing() error('boom') end E(Update) note(GetTime())
  f'missing' U() note(GetTime())]], "first attempt to call a nil value 5 boom 5 missing last 6 "},
{"events added with nil names fail when due", [[AddTimeEvent(1, nil) AddInstanceEvent(2, nil, nil) U() E(Update) E(Update)
  SetTime(2) E(Update)]], "AddTimeEvent: the event due at frame 1 was added without a function name AddTimeEvent: the event due at frame 1 was added without a function name AddInstanceEvent: the event due at frame 2 was added without a function name "},
{"Update from a fired function names its line", [[function again()
  Update() end AddTimeEvent(0, 'again') E(Update) f'again' U()]],
  "Update: called from inside a function that the timeline fired, at Update from a fired function names its line:2 again "},
{"events keep their own names and instances", [[seven = mk(AddLayer0) got = {}
  function withInstance(i) note(rawequal(i, seven)) end function withNil(i) note(i == nil) end
  local n = 'with' .. string.rep('Instance', 1) AddInstanceEvent(1, n, seven) AddInstanceEvent(1, 'withNil', nil)
  local m = 'gen' .. 'erated' AddTimeEvent(1, m) f'generated' n = nil m = nil collectgarbage() collectgarbage() U(2)]],
  "true true generated "},
{"spawn events carry their values and keep the kind alive", [[function grab(e) SetDisposer(e, 'up') e.state = 6 note(GetX(e), GetY(e), e.vel, e.dir, e.age) end
  function mover(i) note('mover', GetX(i), GetY(i), i.vel, i.dir, i.anim, GetHP(i)) SetUpdater(i, nil) end
  local k = NewObject() k:SetAnimSize(2) k:SetAnim(1, 0, 0, 0, false) k.hp = 9 AddLayer2Event(1, k, 'mover', 11, -12, 70000, 200, 1, -5)
  AddEnemy1Event(1, k, nil, 1, 2, 3, 4, 0, 6) k = nil collectgarbage() collectgarbage() U() note('|') U()
  CheckEnemy(mk(AddLayer0, kind(30000)), 'grab') U(5) note('|') U()]], "| mover 11 -12 70000 200 1 9 1 2 3 4 1 | 6 "},
{"spawn events refuse released kinds", [[k = NewObject() k:SetAnimSize(1) r = NewObject() r:Release() E(AddEnemy0Event, 0, r, 'x', 0, 0, 0, 0, 0, 0) U()
  f'after' SetTime(4) AddLayer0Event(0, k, nil, 0, 0, 0, 0, 0, 0) k:Release() AddTimeEvent(0, 'after') E(Update) note(GetTime()) U()
  note(GetTime()) AddLayer3Event(0, nil, nil, 0, 0, 0, 0, 0, 0) E(Update) U() note(free())]],
  "AddEnemy0Event: the kind was released AddLayer0: the kind was released 4 after 5 AddLayer3: no kind given (nil) 1000 "},
}
