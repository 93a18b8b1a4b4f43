// The art build the desktop's window runs before a reload (F5, --watch):
// lunashot-pack's build of the game folder, in this process. It lives in
// the window module with the window, so a headless run maps none of the
// asset tool's libraries.
#pragma once
#include <string>
#include <vector>

namespace app {

// Runs the out-of-date lines of art/build.txt (runtime::ArtBuild::run).
bool RunArtBuild(std::string* note, std::string* report);
// The build file and the sources its lines name (runtime::ArtBuild::sources).
std::vector<std::string> ArtSources();

}  // namespace app
