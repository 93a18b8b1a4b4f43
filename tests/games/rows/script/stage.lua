-- The script a good replay names: it runs before the replay sets its globals.
stage_runs = (stage_runs or 0) + 1
saw_replay = tostring(VAR_replay)
