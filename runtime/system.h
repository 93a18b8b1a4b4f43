// Start-up, shutdown and the launcher.
#pragma once
#include <string>

namespace runtime {

struct Options {
  bool headless = false;
  unsigned long max_frames = 0;
  std::string record_dir;
  int scale = 0;  // 0: the largest integer factor that fits, at least 2
  bool fullscreen = false;
  std::string input_file;
  std::string gif_file;
  int gif_scale = 1;  // each pixel of a GIF (--gif and F9) a square this wide
  std::string frame_hashes;
  std::string audio_file;  // --audio: every sample mixed, as a WAV
  bool watch = false;    // a saved art source rebuilds and reloads (a window)
  bool notices = false;  // headless runs tell notices too (a window always does)
  std::string game_dir;
};

// Parses the command line. False with a message (or help text) to print;
// `exit_status` says how to leave.
bool ParseOptions(int argc, char** argv, Options* options, std::string* message, int* exit_status);

// Runs the whole start-up sequence, start.lua and the shutdown; returns the
// exit status for ReturnToMenu.
int RunEngine(const Options& options);

// Logs a start-up failure and leaves through the launcher, with the status
// set here: 0 by default (the handheld's way), kStartupFailed for headless
// runs, so that a script or CI job sees the failure.
constexpr int kStartupFailed = 3;
// The exit status of a headless run that would have ended with 0 but for a
// requested output that could not be written whole (base::OutputFailed).
constexpr int kOutputFailed = 4;
void SetStartupFailureStatus(int status);
[[noreturn]] void StartupFailure(const std::string& cause);

// Leaves the program the machine's way (platform::Machine::Exit).
[[noreturn]] void ReturnToMenu(int status);

}  // namespace runtime
