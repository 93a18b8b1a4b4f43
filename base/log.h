// The one way to tell the user something that does not stop the run (Tell:
// stderr and script/log.txt), the tally of requested outputs that failed, and
// the notices to the author.
#pragma once
#include <cstdint>
#include <string>

namespace base {

// Appends "<message> \n" to log.txt in the script directory. A log that
// cannot be opened drops the message.
void WriteLog(const char* message);

// Tells the user something that does not stop the run: "lunashot: MESSAGE"
// on stderr and "MESSAGE" in log.txt (when the game folder has one to
// write). A missing pad map line, a sound that does not load, a sound device
// that does not open, a recording that failed: all come this way.
void Tell(const std::string& message);

// A file the run writes on request (a --gif, --frame-hashes or
// --record-frames output, an F9 GIF) could not be written whole: tells it
// and remembers it, so that a
// headless run can end with a failure status (runtime::kOutputFailed).
void OutputFailed(const std::string& message);
bool AnyOutputFailed();

// Notices: a script mistake that the engine passes over exactly as it always
// has (the scripts see nothing new), told to the game's author once per kind
// of mistake and place: "lunashot: notice: PLACE: TEXT" on stderr and
// "notice: PLACE: TEXT" in log.txt. Off until SetNotices(true) (a window run,
// or --notices), so that headless runs print only what they were asked for.
void SetNotices(bool on);
bool NoticesOn();
// Where the scripts are now ("script/game.lua:12"; empty outside them), set
// by the script host.
void SetNoticePlace(std::string (*where)());
// A notice of mistake `kind` at the scripts' current place. Callers test
// NoticesOn first, so that a mistake repeated every frame costs no text.
void Notice(const std::string& kind, const std::string& text);
// The same at a given place (empty: none that a script line can name).
void NoticeAt(const std::string& kind, const std::string& place, const std::string& text);
// The notices told since the last ResetNotices (each run of start.lua starts
// afresh, so a fixed mistake is seen gone after a reload).
std::uint32_t NoticeCount();
void ResetNotices();

}  // namespace base
