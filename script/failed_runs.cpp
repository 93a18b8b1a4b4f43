// The bounded list of failed file runs since the state was made.
#include "script/failed_runs.h"

namespace script {

namespace {

std::vector<std::string> reports;
int dropped = 0;

}  // namespace

void NoteFailedRun(const char* message) {
  if (reports.size() == kMaxFailedRuns) {
    ++dropped;
    return;
  }
  std::string text = message;
  if (text.size() > kMaxFailedRunBytes) text = text.substr(0, kMaxFailedRunBytes - 3) + "...";
  reports.push_back(text);
}

void ClearFailedRuns() {
  reports.clear();
  dropped = 0;
}

const std::vector<std::string>& FailedRuns() { return reports; }

int FailedRunsDropped() { return dropped; }

}  // namespace script
