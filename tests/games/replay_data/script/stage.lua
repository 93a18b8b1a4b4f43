-- The script a good replay names.
stage_runs = (stage_runs or 0) + 1
