// The art build the desktop's window runs before a reload (F5, --watch):
// lunashot-pack's build of the game folder, in this process.
#pragma once

namespace app {

// Gives the runtime the build (runtime::Art).
void InstallArtBuild();

}  // namespace app
