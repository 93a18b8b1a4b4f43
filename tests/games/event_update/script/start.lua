-- The timeline's rows (timeline_rows.lua) through the real Update.
RunScript("rows.lua")
Rows(dofile(GetScriptPath("timeline_rows.lua")))
