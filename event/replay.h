// Replay recording, replay files (script-like lines of rep() records) and the
// listing of the replay directory. Names that the format cannot carry are
// refused before anything is written, so every saved file can be read back.
#pragma once
#include <cstdint>
#include <vector>

#include "event/timeline.h"

namespace event {

struct ReplayRecord {
  dword frame;
  std::uint8_t key;
};
// Recorded keys waiting to be written, in SaveReplay order. The room they
// take is charged to the memory budget and kept when they are written or
// cleared, so that recording a play (a record a frame) allocates only when
// it outgrows every earlier one.
extern std::vector<ReplayRecord> ReplayRecords;

// Records that do not fit in the memory budget are a script error.
void SaveReplay(dword frame, std::uint8_t key);
// Writes replay/<prefix>_<second>: two RunScript lines, VAR_replay, VAR_life,
// VAR_score, then one "rep(frame,key)" line per record, and empties the
// records. A nil name, a name holding a single quote, backslash or line
// break, a file name or path over 255 characters, and a file that cannot be
// written are script errors: no file appears (the text goes to a temporary
// file renamed into place) and the records stay for another attempt.
void SaveReplayFile(const char* prefix, const char* first, const char* second, int life, int score);
// Plays replay/<name>: reads it as data, accepting exactly the lines that
// SaveReplayFile writes (script names that stay in script/), then runs the
// two scripts, sets VAR_replay, VAR_life and VAR_score, and queues each
// record with rep(). Any other file is reported as a failed file run
// (_ALERT or stderr) without doing anything, and the caller goes on; so are
// records that do not fit in the memory budget (none is queued).
void RunReplay(const char* name);
// Lists replay/ (names longer than 4 characters, byte order); -1 keeps the
// previous listing when the directory cannot be read (and a script error,
// when the names do not fit in the memory budget).
int GetReplayFiles();
// Name i of the current listing; nullptr (nil) outside it.
const char* GetReplayFile(int i);
// unlink() of the path as given; -1 for a nil path.
int Remove(const char* path);

}  // namespace event
