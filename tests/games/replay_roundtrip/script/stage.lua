-- Second script a replay file runs. A stage starts from a clean timeline; the
-- replay's rep lines come after this, so they survive the ClearEvent.
stage_runs = (stage_runs or 0) + 1
ClearEvent()
