// The start-up failure log, script/log.txt below the working directory, and
// the tally of requested outputs that failed.
#pragma once
#include <string>

namespace base {

// Appends "<message> \n" to log.txt in the script directory. A log that
// cannot be opened drops the message.
void WriteLog(const char* message);

// A file the run writes on request (a --gif, --frame-hashes or
// --record-frames output, an F9 GIF) could not be written whole: says so on
// stderr ("lunashot: MESSAGE") and in log.txt, and remembers it, so that a
// headless run can end with a failure status (runtime::kOutputFailed).
void OutputFailed(const std::string& message);
bool AnyOutputFailed();

}  // namespace base
