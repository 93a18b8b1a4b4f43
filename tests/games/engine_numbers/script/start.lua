-- The engine's basics as rows (engine_rows.lua), and how print shows numbers (test.cmake).
RunScript("rows.lua")
Rows(dofile(GetScriptPath("engine_rows.lua")))
print(7 / 2, 2.9, -7 / 2)
