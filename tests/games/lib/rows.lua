-- Rows {name, code, output} run through the real engine. Each row starts with the world, the
-- timeline and the replay records cleared and the globals as before the first row; its output is
-- what note() collected, then "! " and the error it raised (without a "name:line: " prefix), with
-- the game folder's path written "~/".
K = NewObject() K:SetAnimSize(1) K:SetAnim(0, 0, 0, 0, false) K.size = 2
-- A still spawn of life 10 (K by default) with a state; free() fills the pool and counts.
function mk(add, kind, x, y, s, up)
  local i = add(kind or K, up, x or 0, y or 0, 0, 0, 0, 10) if s then i.state = s end return i
end
function free() local n = 0 while AddLayer3(K, nil, 0, 0, 0, 0, 0, 1) do n = n + 1 end return n end
function f(name) _G[name] = function() note(name) end end  -- a global that notes its name
function up(i) note(i.state) end
function kind(size) local k = NewObject() k:SetAnimSize(1) k.size = size return k end
-- Notes the error of f(...) without its position, or "ok".
function E(f, ...) local ok, e = pcall(f, ...) note(ok and "ok" or (string.gsub(e, "^[^:\n]*:%d+: ", ""))) end
function U(n) for k = 1, n or 1 do Update() end end

function Rows(rows)
  local keep, failed, out, game = {}, 0, "", string.gsub(GetScriptPath(""), "script/$", "")
  game = string.gsub(game, "%p", "%%%0")  -- as a pattern
  function note(...) for n = 1, select("#", ...) do out = out .. tostring(select(n, ...)) .. " " end end
  for k, v in pairs(_G) do keep[k] = v end
  for _, r in ipairs(rows) do
    for k in pairs(_G) do if keep[k] == nil then _G[k] = nil end end
    for k, v in pairs(keep) do _G[k] = v end
    ClearInstance() ClearEvent()
    out = ""
    local ok, e = pcall(assert(loadstring(r[2], "=" .. r[1])))
    if not ok then out = out .. "! " .. string.gsub(tostring(e), "^[^:\n]*:%d+: ", "") end
    out = string.gsub(out, game, "~/")
    if out ~= r[3] then
      failed = failed + 1
      print(r[1] .. ":\n  got  " .. out .. "\n  want " .. r[3])
    end
  end
  ClearInstance() ClearEvent()
  print(#rows - failed .. " of " .. #rows .. " rows pass")
  if failed > 0 then error(failed .. " rows failed", 0) end
end
