// Replay recording, replay files (scripts of rep() lines) and the listing of
// the replay directory.
#pragma once
#include <cstdint>
#include <list>
#include <memory>

#include "event/timeline.h"

namespace event {

extern std::list<std::unique_ptr<ReplayEvent>> ReplayRecords;

void SaveReplay(dword frame, std::uint8_t key);
// Refuses (script error, nothing written, records kept) names that cannot be
// carried by the file format or paths that are too long.
void SaveReplayFile(const char* prefix, const char* first, const char* second, int life,
                    int score);
int GetReplayFiles();
const char* GetReplayFile(int i);
int Remove(const char* path);

}  // namespace event
