// `lunashot-pack build [GAMEDIR] [--force]`: the game's art/build.txt lists
// lunashot-pack command lines (without the program's name, paths relative to
// the game folder, `#` comments); the lines whose outputs are missing or
// older than one of their inputs run, in the file's order, and nothing else.
// Every file a line names must lie inside the game folder.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace tools {

// One line of a build file: its number and its words.
struct BuildLine {
  int number = 0;
  std::vector<std::string> words;
};

// Splits a build file into lines of words: blanks separate words, "..." and
// '...' quote, a word starting with # begins a comment. False with
// "line N: ..." for an unclosed quote.
bool ParseBuildFile(const std::string& text, std::vector<BuildLine>* lines, std::string* error);

int BuildCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What a build did: the outputs of the lines that ran, in order, and the
// number of the line that failed (0: none did).
struct BuildReport {
  std::vector<std::string> made;
  int failed_line = 0;
};
// The build of the game folder `game`, as the command runs it; its status.
// The working directory is the same after.
int RunBuildFile(const std::string& game, bool force, std::ostream& out, std::ostream& err,
                 BuildReport* report);
// The build file itself and the files its lines read that no line writes:
// the author's sources, relative to the game folder (the working
// directory). Empty without the file; the file alone when it has a mistake.
std::vector<std::string> BuildSources();

}  // namespace tools
