-- A source module in the game folder (found by require's "?.lua").
loads = (loads or 0) + 1
return { name = _REQUIREDNAME }
