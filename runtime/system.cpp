// The start-up sequence, the shutdown in reverse, and the launcher.
#include "runtime/system.h"


#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fixed.h"
#include "base/log.h"
#include "base/paths.h"
#include "event/timeline.h"
#include "object/instance.h"
#include "platform/platform.h"
#include "runtime/devkeys.h"
#include "runtime/error_screen.h"
#include "runtime/frame.h"
#include "runtime/bindings.h"
#include "script/host.h"
#include "sound/sound.h"
#include "video/display.h"
#include "video/recorder.h"

namespace runtime {

namespace {

// How far start-up has come: a failure in a window shows its message on the
// error screen once the machine is up.
bool machine_up = false;

const char kUsage[] =
    "usage: lunashot [options] [GAMEDIR]\n"
    "       lunashot new DIR   (writes a starter game into DIR)\n"
    "Runs script/start.lua of GAMEDIR (default: the current directory).\n"
    "  --headless          no window; silent audio; a virtual clock (every frame drawn)\n"
    "  --max-frames N      shut down after the N-th call of Update\n"
    "  --record-frames DIR write every presented frame as DIR/000001.png, ...\n"
    "  --frame-hashes FILE write a line per presented frame to FILE: its number and the\n"
    "                      md5 of its RGB bytes\n"
    "  --audio FILE        write every sample the mixer makes to the WAV FILE (headless:\n"
    "                      stepped with the frames, 176.4 samples each)\n"
    "  --scale N           window scale factor (default: the largest that fits, at least 2)\n"
    "  --fullscreen        start fullscreen (Alt+Enter toggles)\n"
    "  --input FILE        take the buttons from FILE instead of the devices\n"
    "  --gif FILE          record every presented frame into the animated GIF FILE\n"
    "  --gif-scale N       GIFs (--gif and F9) N times the screen's size, 1 to 8\n"
    "  --watch             in a window, a saved source the game's art/build.txt names\n"
    "                      runs the build and reloads, as F5 does\n"
    "  --notices           headless too, tell the mistakes the engine passes over silently\n"
    "                      (a window always does), on stderr and in script/log.txt\n"
    "  --help              print this text\n"
    "Developer keys in a window (never seen by the game's scripts):\n"
    "  F3                  overlay: frame time, instances, events, heap; again: hitboxes\n"
    "  F5 (or Shift+F5)    run art/build.txt's out-of-date lines (when there is one), end\n"
    "                      the game and run script/start.lua again, fresh\n"
    "  F6 / F7             pause or resume / step one frame while paused\n"
    "  F9                  start or stop a GIF in GAMEDIR/screenshots/\n"
    "  F12                 screenshot (screen size and window size) in GAMEDIR/screenshots/\n"
    "  Escape              quit (also leaves the error screen)\n";

bool ParseCount(const char* text, unsigned long* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(text, &end, 10);
  if (*end || errno || text[0] == '-') return false;
  *out = v;
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* options, std::string* message, int* exit_status) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        *message = "lunashot: " + a + " needs " + what + "\n" + kUsage;
        return nullptr;
      }
      return argv[++i];
    };
    unsigned long n = 0;
    if (a == "--help" || a == "-h") {
      *message = kUsage;
      *exit_status = 0;
      return false;
    } else if (a == "--headless") {
      options->headless = true;
    } else if (a == "--fullscreen") {
      options->fullscreen = true;
    } else if (a == "--notices") {
      options->notices = true;
    } else if (a == "--watch") {
      options->watch = true;
    } else if (a == "--max-frames" || a == "--scale" || a == "--gif-scale") {
      const char* v = value("a number");
      if (!v) break;
      if (!ParseCount(v, &n) || n == 0 || n > 0xFFFFFFFFul) {
        *message = "lunashot: " + a + " needs a positive whole number, not '" + v + "'\n";
        break;
      }
      if (a == "--scale" || a == "--gif-scale") {
        const unsigned long most = a == "--scale" ? 16 : video::kMaxGifScale;
        if (n > most) {
          *message = "lunashot: " + a + " must be 1 to " + std::to_string(most) + "\n";
          break;
        }
        (a == "--scale" ? options->scale : options->gif_scale) = static_cast<int>(n);
      } else {
        options->max_frames = n;
      }
    } else if (a == "--record-frames" || a == "--input" || a == "--gif" || a == "--frame-hashes" ||
               a == "--audio") {
      const char* v = value(a == "--record-frames" ? "a directory" : "a file");
      if (!v) break;
      (a == "--input"           ? options->input_file
       : a == "--gif"           ? options->gif_file
       : a == "--record-frames" ? options->record_dir
       : a == "--audio"         ? options->audio_file
                                : options->frame_hashes) = v;
    } else if (!a.empty() && a[0] == '-') {
      *message = "lunashot: unknown option " + a + "\n" + kUsage;
      break;
    } else if (options->game_dir.empty()) {
      options->game_dir = a;
    } else {
      *message = "lunashot: more than one game directory given\n" + std::string(kUsage);
      break;
    }
  }
  if (!message->empty()) {
    *exit_status = 2;
    return false;
  }
  return true;
}

namespace {
int startup_failure_status = 0;
}  // namespace

void SetStartupFailureStatus(int status) { startup_failure_status = status; }

void StartupFailure(const std::string& cause) {
  base::Tell(cause);
  // A player at a window reads the cause there, not only in the log.
  platform::Machine* machine = platform::backends.machine;
  std::string error;
  if (machine && machine->Interactive() && platform::backends.display && platform::backends.input &&
      platform::backends.clock && (machine_up || machine->Init(&error))) {
    machine_up = true;
    platform::backends.display->SetTitle(GameName(), "cannot start");
    if (video::OpenScreen(&error)) {
      ShowErrorScreen(
          "The game cannot start:\n" + cause + "\n\nThe same line went to script/log.txt.", false);
    }
    video::QuitVideo();
    machine->Quit();
  }
  ReturnToMenu(startup_failure_status);
}

void ReturnToMenu(int status) {
  // A start-up failure leaves without the run's shutdown: the frame hashes
  // not yet written go out before a launcher takes the process's place.
  video::StopRecording();
  if (platform::backends.machine) platform::backends.machine->Exit(status);
  std::fflush(nullptr);
  std::exit(status);
}

namespace {

// Runs script/start.lua once in a fresh Lua state over a fresh pool and
// timeline. `status` receives the exit status of the run.
void RunStartFile(bool interactive, int* status) {
  ClearColour = 0;
  base::ResetNotices();
  object::InitPool();
  script::InitScript();
  runtime::RegisterInterface();

  const char* start = base::GetScriptPath("start.lua");
  if (!start) StartupFailure("the path of script/start.lua is longer than 255 characters");
  char path[base::kPathSize];
  std::strcpy(path, start);
  std::string unreported;
  bool ran = script::RunMainFile(path, &unreported);
  bool stopped = script::Aborted();
  // A reload asked for while the script ran without a frame stopped it
  // there (from the watch over long runs), before a frame could take it.
  if (stopped && !ReloadRequested) ReloadRequested = TakeReload();
  // A player at the screen sees an error that went only to stderr.
  if (!ran && !stopped && interactive && !unreported.empty()) ShowErrorScreen(unreported);
  event::ClearEvent();
  script::QuitScript();
  *status = (!interactive && !ran && !stopped) ? 1 : 0;
}

}  // namespace

int RunEngine(const Options& options) {
  FramePeriod = 16;
  MaxFrames = static_cast<std::uint32_t>(options.max_frames);
  if (!base::InitPaths()) {
    std::fprintf(stderr, "lunashot: the working directory's path is too long\n");
    ReturnToMenu(startup_failure_status);
  }
  std::string error;
  if (!platform::backends.machine->Init(&error)) {
    base::Tell(error);
    ReturnToMenu(startup_failure_status);
  }
  machine_up = true;
  platform::backends.display->SetTitle(GameName(), "");
  base::InitDirTable();
  if (!video::InitVideo(&error)) StartupFailure(error);
  if (!options.record_dir.empty()) video::StartRecording(options.record_dir);
  GifScale = options.gif_scale;
  WatchArt = options.watch;
  if (!options.gif_file.empty()) video::StartGif(options.gif_file, GifScale);
  if (!options.frame_hashes.empty()) video::StartFrameHashes(options.frame_hashes);
  if (!options.audio_file.empty()) sound::StartAudioFile(options.audio_file);
  sound::InitSound();
  const bool interactive = platform::backends.machine->Interactive();
  base::SetNotices(interactive || options.notices);
  int status = 0;
  for (;;) {
    ReloadRequested = false;
    RunStartFile(interactive, &status);
    sound::QuitSound();
    if (!ReloadRequested || platform::backends.machine->QuitRequested()) break;
    // The art first, so that the reload reads what the author just drew.
    if (!BuildArtBeforeReload()) break;
    // A reload: everything the scripts made goes; the window and the
    // recordings stay. pal.pal is read again, as it may have been edited.
    std::printf("lunashot: reloading script/start.lua\n");
    std::fflush(stdout);
    // InitVideo again: the screen is open already, so it reads pal.pal and
    // uploads the black working palette.
    if (!video::InitVideo(&error)) StartupFailure(error);
    std::memset(video::BackBuffer->pixels, 0, static_cast<std::size_t>(video::BackBuffer->size));
    sound::InitSound();
  }
  sound::CloseSound();
  EndDevSession();
  video::QuitVideo();
  platform::backends.machine->Quit();
  if (status == 0 && !interactive && base::AnyOutputFailed()) status = kOutputFailed;
  return status;
}

}  // namespace runtime
