// The script error screen: when start.lua ends with an error that no _ALERT
// took, a windowed run shows the message and its traceback until a button is
// pressed or the window is closed.
#pragma once
#include <string>

namespace runtime {

// Draws `text` in the built-in font on the back buffer, below the failed file
// runs the script host noted (script/failed_runs.h), and presents it with a
// black-and-white palette. Pure drawing; no waiting. `reloads`: the screen
// offers F5 (a script error), else only quitting (a start-up failure).
void DrawErrorScreen(const std::string& text, bool reloads = true);
// Draws, then waits for a button press (after all are up), a closed window
// (or Escape) or, when `reloads`, a reload asked for (F5: ReloadRequested
// is then set).
void ShowErrorScreen(const std::string& text, bool reloads = true);

}  // namespace runtime
