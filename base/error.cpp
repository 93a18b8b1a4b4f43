// Formatting of script-facing errors.
#include "base/error.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace base {

void Fail(const char* function, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  throw ScriptError(std::string(function) + ": " + text);
}

}  // namespace base
