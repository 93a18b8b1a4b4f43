io.stderr:write("start.lua ran\n")
