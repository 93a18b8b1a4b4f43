// Replays (placeholder until the replay work lands).
#include "event/replay.h"

#include <unistd.h>

namespace event {

std::list<std::unique_ptr<ReplayEvent>> ReplayRecords;

void SaveReplay(dword, std::uint8_t) {}
void SaveReplayFile(const char*, const char*, const char*, int, int) {}
int GetReplayFiles() { return -1; }
const char* GetReplayFile(int) { return nullptr; }
int Remove(const char* path) { return path ? unlink(path) : -1; }

}  // namespace event
