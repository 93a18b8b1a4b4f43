// The data directories below the working directory and the path builders.
// Every builder writes into the one shared buffer WorkPath and returns it, so
// a result is valid only until the next builder call, WriteLog or replay
// listing. A path that would not fit in 255 characters is refused: the
// builder returns nullptr and leaves WorkPath as it was.
#pragma once
#include <cstddef>

namespace base {

constexpr std::size_t kPathSize = 256;

extern char WorkPath[kPathSize];
// The game folder (the working directory), ending in '/'.
extern char GameDir[kPathSize];
extern char SpriteDir[kPathSize];
extern char ScriptDir[kPathSize];
extern char SoundDir[kPathSize];
extern char ReplayDir[kPathSize];

// Builds the four directories from the working directory. False when the
// working directory cannot be read or its longest directory would not fit.
bool InitPaths();

char* GetSpritePath(const char* name);
char* GetScriptPath(const char* name);
char* GetSoundPath(const char* name);
char* GetReplayPath(const char* name);

// Script-facing forms: a nil name counts as empty; too long a path is a
// script error naming the function.
const char* ScriptGetScriptPath(const char* name);
const char* ScriptGetReplayPath(const char* name);

}  // namespace base
