// Developer commands. Screenshots and animations go to screenshots/ in the
// game folder (the working directory): the folder is created when missing
// and must be a real directory there, never a link to elsewhere; files are
// written whole under a fresh time-stamped name or not at all.
#include "runtime/devkeys.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <vector>

#include "base/file.h"
#include "base/log.h"
#include "base/png_file.h"
#include "event/timeline.h"
#include "object/collision.h"
#include "object/geometry.h"
#include "object/instance.h"
#include "platform/platform.h"
#include "runtime/error_screen.h"
#include "runtime/frame.h"
#include "script/host.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/recorder.h"

namespace runtime {

bool ReloadRequested = false;
int GifScale = 1;
ArtBuild Art;
bool WatchArt = false;

namespace {

constexpr char kFolder[] = "screenshots";

bool paused = false;
bool step_pending = false;
bool screenshot_pending = false;
platform::OverlayFigures overlay;
std::uint32_t frame_start = 0;
// Presents counted since `presents_since`; the overlay's rate is taken from
// them once a second has passed.
std::uint32_t presents = 0, presents_since = 0;
// A note in the window title is taken down after three seconds.
bool note_shown = false;
std::uint32_t note_time = 0;
// --watch: what the sources were at the last look, and when that was.
std::string watched;
bool watch_looked = false;
std::uint32_t watch_time = 0;

bool ScreenshotFolder(std::string* error) {
  if (mkdir(kFolder, 0777) != 0 && errno != EEXIST) {
    *error = std::string("cannot create ") + kFolder + ": " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (lstat(kFolder, &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = std::string(kFolder) + " in the game folder is not a directory (a link is refused)";
    return false;
  }
  return true;
}

// "screenshots/20261206-224501-123": local time to the millisecond, so two
// presses never share a name.
std::string Stamp() {
  timeval now;
  gettimeofday(&now, nullptr);
  std::tm local;
  time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%s/%04d%02d%02d-%02d%02d%02d-%03d", kFolder,
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, static_cast<int>(now.tv_usec / 1000));
  return text;
}

bool WriteIndexedPng(const std::string& path, int scale, std::string* error) {
  base::PngImage image;
  image.format = base::PngImage::Format::kIndexed;
  image.width = platform::kScreenWidth * scale;
  image.height = platform::kScreenHeight * scale;
  video::ScaleFrame(video::Screen->pixels, scale, &image.pixels);
  image.palette.assign(std::begin(video::ShownPalette), std::end(video::ShownPalette));
  std::vector<std::uint8_t> bytes;
  if (!base::EncodePng(image, -1, &bytes, error)) return false;
  base::FileError failure;
  if (!base::WriteFileAtomic(path, bytes, &failure)) {
    *error = "cannot write " + path + ": " + failure.Text();
    return false;
  }
  return true;
}

// The figures of the world as it is now, to the display. Sent every frame
// while the overlay is on: the lists are walked in place, not copied.
void SendOverlay() {
  platform::Display* display = platform::backends.display;
  if (!display) return;
  overlay.shapes.clear();
  for (int l = 0; l < object::kListCount; ++l) {
    int count = 0;
    for (object::Instance* i = object::ListFront(static_cast<object::List>(l)); i;
         i = i->next, ++count) {
      // Where the hit test sees them: absolute, through the parent chain.
      if (overlay.level >= 2)
        overlay.shapes.push_back({object::GetX(i), object::GetY(i), object::SizeOf(i)});
    }
    overlay.lists[l] = count;
  }
  overlay.free_slots = object::PoolFree();
  overlay.pending_events = static_cast<int>(event::PendingEvents());
  overlay.script_heap = script::HeapInUse();
  overlay.notices = base::NoticeCount();
  display->SetOverlay(overlay);
}

void Note(const std::string& note) {
  std::printf("lunashot: %s\n", note.c_str());
  std::fflush(stdout);
  platform::Display* display = platform::backends.display;
  if (display) display->SetTitle(GameName(), note);
  note_shown = true;
  note_time = platform::backends.clock->Ticks();
}

void ToggleGif() {
  std::string error;
  if (video::GifRecording()) {
    if (video::StopGif(&error))
      Note("GIF saved");
    else
      Note("GIF not saved: " + error);
    return;
  }
  if (!ScreenshotFolder(&error)) {
    Note("GIF not started: " + error);
    return;
  }
  std::string path = Stamp() + ".gif";
  video::StartGif(path, GifScale);
  if (video::GifRecording()) Note("recording " + path + " (F9 stops)");
}

void Act(platform::DevCommand c) {
  using platform::DevCommand;
  std::string error;
  switch (c) {
    case DevCommand::kReload:
      ReloadRequested = true;
      paused = false;
      script::AbortRun();
      break;
    case DevCommand::kScreenshot:
      // Taken at the next Present, so that it is the frame a recording of
      // the run has next, through the palette it is recorded with.
      screenshot_pending = true;
      break;
    case DevCommand::kGif: ToggleGif(); break;
    case DevCommand::kPause:
      paused = !paused;
      step_pending = false;
      if (platform::backends.display)
        platform::backends.display->SetTitle(GameName(), paused ? "paused (F7 steps)" : "");
      break;
    case DevCommand::kStep:
      if (paused) step_pending = true;
      break;
    case DevCommand::kOverlay:
      overlay.level = (overlay.level + 1) % 3;
      SendOverlay();
      break;
    case DevCommand::kNone: break;
  }
}

}  // namespace

bool ArtSourcesChanged() {
  if (!WatchArt || !Art.sources || !platform::backends.clock) return false;
  const std::uint32_t now = platform::backends.clock->Ticks();
  if (watch_looked && now - watch_time < 500) return false;
  watch_time = now;
  // Each file's name, size and change time: a save changes one of them.
  std::string seen;
  for (const std::string& file : Art.sources()) {
    struct stat st;
    seen += file + '\n';
    if (stat(file.c_str(), &st) == 0)
      seen += std::to_string(st.st_size) + ' ' + std::to_string(st.st_mtim.tv_sec) + '.' +
              std::to_string(st.st_mtim.tv_nsec) + '\n';
  }
  const bool changed = watch_looked && seen != watched;
  watched = seen;
  watch_looked = true;
  return changed;
}

bool BuildArtBeforeReload() {
  platform::Machine* machine = platform::backends.machine;
  while (Art.run && machine && machine->Interactive() && access("art/build.txt", F_OK) == 0) {
    std::string note, report;
    const bool built = Art.run(&note, &report);
    if (!note.empty()) Note(note);
    if (built) return true;
    ReloadRequested = false;
    ShowErrorScreen(report);
    if (!ReloadRequested || machine->QuitRequested()) return false;
  }
  return true;
}

std::string GameName() {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return "lunashot";
  const char* slash = std::strrchr(cwd, '/');
  std::string name = slash ? slash + 1 : cwd;
  return name.empty() ? "lunashot" : name;
}

std::string TakeScreenshot(int scale, std::string* error) {
  if (!video::Screen) {
    *error = "no screen";
    return "";
  }
  if (!ScreenshotFolder(error)) return "";
  std::string stamp = Stamp();
  if (!WriteIndexedPng(stamp + ".png", 1, error)) return "";
  if (scale > 1 && !WriteIndexedPng(stamp + "-x" + std::to_string(scale) + ".png", scale, error))
    return "";
  return stamp + ".png";
}

void HandleDevCommands() {
  platform::Machine* machine = platform::backends.machine;
  if (!machine) return;
  for (platform::DevCommand c; (c = machine->TakeCommand()) != platform::DevCommand::kNone;) Act(c);
  if (ArtSourcesChanged()) Act(platform::DevCommand::kReload);
  if (note_shown && platform::backends.clock->Ticks() - note_time > 3000) {
    note_shown = false;
    if (platform::backends.display) platform::backends.display->SetTitle(GameName(), "");
  }
  if (!paused) return;
  // Paused: the frame waits here. The window stays drawn; the buttons are
  // not read, so what is held now reaches the game when it goes on.
  while (paused && !step_pending && !script::Aborted() && !machine->QuitRequested()) {
    platform::backends.clock->Delay(16);
    if (platform::backends.display && video::Screen)
      platform::backends.display->Present(video::Screen->pixels);
    for (platform::DevCommand c; (c = machine->TakeCommand()) != platform::DevCommand::kNone;)
      Act(c);
  }
  step_pending = false;
  // The time spent paused is not a late frame.
  NextFrameTime = platform::backends.clock->Ticks() + FramePeriod;
}

void FrameStarts() {
  std::uint32_t now = platform::backends.clock->Ticks();
  overlay.frame_ms = now - frame_start;
  frame_start = now;
}

void FrameWorked(bool late) {
  if (late) ++overlay.late_frames;
  if (overlay.level == 0) return;
  overlay.work_ms = platform::backends.clock->Ticks() - frame_start;
  SendOverlay();
}

void FrameShown() {
  const std::uint32_t now = platform::backends.clock ? platform::backends.clock->Ticks() : 0;
  ++presents;
  if (now - presents_since >= 1000) {
    overlay.presented = presents * 1000 / (now - presents_since);
    presents = 0;
    presents_since = now;
  }
  if (!screenshot_pending) return;
  screenshot_pending = false;
  platform::Display* display = platform::backends.display;
  std::string error;
  std::string name = TakeScreenshot(display ? display->Scale() : 1, &error);
  Note(name.empty() ? "screenshot not saved: " + error : "saved " + name);
}

bool TakeReload() {
  platform::Machine* machine = platform::backends.machine;
  bool reload = false;
  for (platform::DevCommand c;
       machine && (c = machine->TakeCommand()) != platform::DevCommand::kNone;)
    reload = reload || c == platform::DevCommand::kReload;
  return reload;
}

void EndDevSession() {
  overlay = platform::OverlayFigures{};
  if (platform::backends.display) platform::backends.display->SetOverlay(overlay);
  screenshot_pending = false;
  paused = false;
  step_pending = false;
  std::string error;
  if (video::GifRecording() && !video::StopGif(&error))
    base::OutputFailed("GIF not saved: " + error);
}

}  // namespace runtime
