// The start-up failure log: script/log.txt below the working directory.
#pragma once

namespace base {

// Appends "<message> \n" to log.txt in the script directory. A log that
// cannot be opened drops the message.
void WriteLog(const char* message);

}  // namespace base
