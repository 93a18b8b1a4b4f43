-- What a hostile replay tries to reach: it must never run.
local f = io.open("pwned", "w") f:write("x") f:close()
