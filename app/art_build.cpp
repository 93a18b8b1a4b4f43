// The build's own lines (what ran, what failed) go to the terminal as the
// command prints them; the title gets a short note and the error screen the
// failure's whole report.
#include "app/art_build.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tools/build_file.h"

namespace app {

bool RunArtBuild(std::string* note, std::string* report) {
  std::ostringstream out, err;
  tools::BuildReport result;
  const int status = tools::RunBuildFile(".", false, out, err, &result);
  std::fputs(out.str().c_str(), stdout);
  std::fputs(err.str().c_str(), stderr);
  std::fflush(nullptr);
  if (status == 0) {
    note->clear();
    for (const std::string& made : result.made) *note += (note->empty() ? "rebuilt " : ", ") + made;
    return true;
  }
  *note = result.failed_line ? "art/build.txt, line " + std::to_string(result.failed_line) + " failed"
                             : "art/build.txt cannot be used";
  *report = "The art build failed (" + *note + "):\n\n" + err.str();
  return false;
}

std::vector<std::string> ArtSources() { return tools::BuildSources(); }

}  // namespace app
