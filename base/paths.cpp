// Directory buffers and path builders (see paths.h for the shared-buffer rule).
#include "base/paths.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "base/error.h"

namespace base {

char WorkPath[kPathSize];
char GameDir[kPathSize];
char SpriteDir[kPathSize];
char ScriptDir[kPathSize];
char SoundDir[kPathSize];
char ReplayDir[kPathSize];

namespace {

bool Join(char* out, const char* dir, const char* name) {
  if (!name) name = "";
  std::size_t a = std::strlen(dir), b = std::strlen(name);
  if (a + b >= kPathSize) return false;
  std::memmove(out, dir, a);
  std::memmove(out + a, name, b + 1);
  return true;
}

char* Build(const char* dir, const char* name) {
  char joined[kPathSize];
  if (!Join(joined, dir, name)) return nullptr;
  std::memcpy(WorkPath, joined, kPathSize);
  return WorkPath;
}

}  // namespace

bool InitPaths() {
  char cwd[kPathSize];
  if (!getcwd(cwd, sizeof cwd)) return false;
  if (!Join(GameDir, cwd, "/")) return false;
  std::memcpy(WorkPath, GameDir, kPathSize);
  return Join(SpriteDir, GameDir, "sprite/") && Join(ScriptDir, GameDir, "script/") &&
         Join(SoundDir, GameDir, "sound/") && Join(ReplayDir, GameDir, "replay/");
}

char* GetSpritePath(const char* name) { return Build(SpriteDir, name); }
char* GetScriptPath(const char* name) { return Build(ScriptDir, name); }
char* GetSoundPath(const char* name) { return Build(SoundDir, name); }
char* GetReplayPath(const char* name) { return Build(ReplayDir, name); }

const char* ScriptGetScriptPath(const char* name) {
  const char* path = GetScriptPath(name);
  if (!path) Fail("GetScriptPath", "the path would be longer than 255 characters");
  return path;
}

const char* ScriptGetReplayPath(const char* name) {
  const char* path = GetReplayPath(name);
  if (!path) Fail("GetReplayPath", "the path would be longer than 255 characters");
  return path;
}

}  // namespace base
