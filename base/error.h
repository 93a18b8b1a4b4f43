// Errors that engine functions raise in the calling script. A ScriptError's
// text becomes the Lua error message as it stands ("Function: problem").
#pragma once
#include <stdexcept>

namespace base {

struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Throws ScriptError with "<function>: <printf-formatted message>".
[[noreturn]] void Fail(const char* function, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace base
