-- Sprite set files: what loads, and each malformed file's refusal (drawing: video_golden).
le = TestLib.Le
function rec(w, h, data) return le(w, 4) .. le(h, 4) .. le(string.len(data), 4) .. data end
function row(runs) return le(string.len(runs), 2) .. runs end
function set(...) local s = le(select("#", ...), 2) for n = 1, select("#", ...) do s = s .. select(n, ...) end return s end
-- Writes sprite/x.spr and gives "ok" or the refusal, less "LoadSpriteSet: x.spr: ".
function load(bytes) local f = io.open(string.gsub(GetScriptPath(""), "script/$", "sprite/x.spr"), "wb") f:write(bytes) f:close()
  local ok, e = pcall(LoadSpriteSet, "x.spr") return ok and "ok" or (string.gsub(e, "^LoadSpriteSet: x.spr: ", "")) end
GOOD = set(TestLib.Sprite({"ab", "Cd"}, {a = 1, b = 2, c = 3, d = 4}, 1), TestLib.Sprite({"e.f"}, {e = 5, f = 6}))
return {
{"the documented example row, an empty set, bytes after the last sprite", [[note(load(set(rec(3, 1, '\9\0\1\128\1\0\7\1\64\9\1'))),
  load(set()), load(GOOD .. '\7')) E(LoadSpriteSet, nil)]], "ok ok ok LoadSpriteSet: no file name given "},
{"a file cut anywhere is refused", [[note(load(''), load('\1'))
  for n = 2, #GOOD - 1 do assert(string.find(load(string.sub(GOOD, 1, n)), 'truncated'), n) end]], "truncated: no sprite count truncated: no sprite count "},
{"a count beyond the file", [[note(load('\255\255' .. string.sub(GOOD, 3)))]],
  "truncated: 65535 sprites need at least 786420 bytes, the file has 49 after the count "},
{"malformed records", [[for _, r in ipairs({rec(2, 1, row('\3\0\1\2\3')), rec(2, 1, row('\3\128')), rec(4, 1, row('\3\0\1')),
  rec(4, 1, row('\1')), rec(4, 1, '\9\0\1\128'), rec(1, 1, row('\1\64\5\3')), rec(1, 1, row('\1\16\5')), rec(1, 1, '\0\0\170'),
  rec(1, 2, '\0\0'), rec(-1, 1, '\0\0'), rec(1, 2147483647, '\0\0'), le(1, 4) .. le(0, 4) .. le(-1, 4)}) do note(load(set(r))) end
  note(load(set(TestLib.Sprite({'a'}, {a = 1}), rec(1, 2, '\0\0\2\0\1\64'))))]],
  "sprite 0: row 0: a run passes the sprite's width (column 3 of 2) sprite 0: row 0: a run passes the sprite's width (column 3 of 2) sprite 0: row 0: a run's pixels pass the row's length sprite 0: row 0: a run code is cut off by the row's length sprite 0: row 0: row length 9 passes the end of the data sprite 0: row 0: blend level 3 (levels are 0-2) sprite 0: row 0: an opaque run has bits 12-13 set (code 4097) sprite 0: 1 bytes of data after the last row sprite 0: row 1: the data ends before the row sprite 0: bad size -1 x 1 sprite 0: bad size 1 x 2147483647 sprite 0: negative data size -1 sprite 1: row 1: a run's pixels pass the row's length "},
}
