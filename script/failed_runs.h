// The reports of failed file runs (RunScript, RunReplay), kept so that the
// error screen can show what failed before the error that ended the game: a
// missing or broken file otherwise shows up only later, as a misleading
// "attempt to call" somewhere else. Bounded: the first kMaxFailedRuns
// reports, each cut to kMaxFailedRunBytes, and a count of the rest.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace script {

constexpr std::size_t kMaxFailedRuns = 4;
constexpr std::size_t kMaxFailedRunBytes = 200;

// The host calls it for every failed file run it reports (to _ALERT or
// stderr) other than the run of start.lua itself.
void NoteFailedRun(const char* message);
// Emptied by InitScript.
void ClearFailedRuns();
const std::vector<std::string>& FailedRuns();
// Reports beyond the first kMaxFailedRuns.
int FailedRunsDropped();

}  // namespace script
