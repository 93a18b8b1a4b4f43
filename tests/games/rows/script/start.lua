-- The engine's script interface as rows {name, code, output} (see rows.lua), one file a subsystem.
RunScript("testlib.lua")
RunScript("rows.lua")
local all = {}
for _, file in ipairs({"input_rows.lua", "event_rows.lua", "object_rows.lua", "sprite_rows.lua", "script_rows.lua"}) do
  for _, row in ipairs(dofile(GetScriptPath(file))) do all[#all + 1] = row end
end
Rows(all)
