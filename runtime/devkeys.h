// The developer's commands of a window run (platform::DevCommand): reload,
// screenshot, animation recording, pause and single steps. The frame step
// asks for them once per frame; what a script observes never depends on
// them, except that a paused game's frames wait.
#pragma once
#include <string>
#include <vector>

namespace runtime {

// Set by a reload command: the run in progress ends through the normal stop
// path and RunEngine starts script/start.lua again. Cleared by RunEngine.
extern bool ReloadRequested;
// The scale of the GIFs F9 records (--gif-scale).
extern int GifScale;

// Takes the pending commands and acts on them. While paused it waits here,
// keeping the window alive, until the game resumes, steps one frame, is
// reloaded or the window closes. Returns at once without a machine.
void HandleDevCommands();

// The frame step's marks for the overlay: a frame begins (its buttons are
// read next), and its logic is done (`late`: its drawing is skipped). The
// figures go to the display when the overlay is on.
void FrameStarts();
void FrameWorked(bool late);

// Called after each Present of the script: counts the frames presented a
// second, and writes a screenshot asked for.
void FrameShown();

// After a run that was stopped: whether a reload is among the commands not
// taken yet (one that stopped a script running without a frame); the other
// commands are dropped.
bool TakeReload();

// Writes the screen as screenshots/STAMP.png (320x240 colour indices) and
// STAMP-xN.png (the window's scale) in the game folder. Returns the first
// file's name, or empty with `error` set.
std::string TakeScreenshot(int scale, std::string* error);

// The game's art build (art/build.txt, lunashot-pack's), when the main that
// runs the engine has the asset tool: a window runs it before each reload,
// and with --watch a saved source reloads as F5 does.
struct ArtBuild {
  // Runs the out-of-date lines. True with a note on what was remade (empty:
  // nothing was); false with a note naming the failed line and the report.
  bool (*run)(std::string* note, std::string* report) = nullptr;
  // The build file and the sources its lines name (empty without one).
  std::vector<std::string> (*sources)() = nullptr;
};
extern ArtBuild Art;
// --watch: looks for saved sources.
extern bool WatchArt;

// With --watch, at most twice a second: whether the build file or a source
// it names changed since the last look (the first look only takes note).
bool ArtSourcesChanged();
// Before a reload in a window: the art build, when the game has one; the
// title says what it remade. A failure stays on the error screen until a
// reload is asked for again (then the build runs again); false when the
// player quit there instead.
bool BuildArtBeforeReload();

// The game folder's name (the working directory's last component).
std::string GameName();

// Ends a pause and an animation in progress (the run is over).
void EndDevSession();

}  // namespace runtime
