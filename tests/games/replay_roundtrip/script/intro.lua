-- First script a replay file runs: it must run before the file sets VAR_replay.
intro_saw_replay = VAR_replay
