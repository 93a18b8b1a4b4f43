// The full-pool scene of the world benchmarks and plain Lua's floor for it,
// shared by world_bench (native, Google Benchmark) and web/world_frames (a
// plain timing loop, also compiled to WebAssembly), so both time the same
// frame. BuildWorld runs once per program; UseSprites before each timing.
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/sprite_file.h"
#include "base/file.h"
#include "base/fixed.h"
#include "base/paths.h"
#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "object/world.h"
#include "runtime/bindings.h"
#include "script/host.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/sprite.h"
#include "video/surface.h"

namespace bench {

inline lua_State* L = nullptr;
inline object::Instance* probe = nullptr;  // a listed instance with the updater "up"

inline void Lua(const char* code) {
  if (luaL_dostring(L, code) != 0) {
    std::fprintf(stderr, "world scene: %s\n", lua_tostring(L, -1));
    std::exit(1);
  }
}

// Four 16 x 16 sprites. Plain: per row 3 transparent, 10 opaque, 3
// transparent. Varied, like drawn art: about 30% of the pixels transparent,
// scattered, and a tenth of the others blended.
inline std::vector<std::uint8_t> WorldSpriteFile(bool varied) {
  std::vector<base::PixelImage> images(4, base::PixelImage(16, 16));
  for (int s = 0; s < 4; ++s)
    for (int r = 0; r < 16; ++r)
      for (int c = 0; c < 16; ++c) {
        const auto colour = static_cast<std::uint8_t>(s * 40 + r + c);
        std::uint32_t h = static_cast<std::uint32_t>((s * 16 + r) * 16 + c) * 2654435761u;
        h ^= h >> 15;
        h *= 2246822519u;
        h ^= h >> 13;
        if (!varied) {
          if (c >= 3 && c < 13) images[s].at(c, r) = {base::Pixel::kOpaque, colour, 0};
        } else if (h % 100 >= 30) {
          images[s].at(c, r) = h / 100 % 10 == 0
                                   ? base::Pixel{base::Pixel::kBlended, colour,
                                                 static_cast<std::uint8_t>(h / 1000 % 3)}
                                   : base::Pixel{base::Pixel::kOpaque, colour, 0};
        }
      }
  return SetFileOrExit(images, "world scene");
}

// The sets reach the scripts as a game's do: SPRITES and VARIED =
// LoadSpriteSet of files in sprite/ of a temporary game folder, the working
// directory meanwhile.
inline void LoadWorldSprites() {
  const std::filesystem::path home = std::filesystem::current_path();
  char dir[] = "/tmp/world_bench-XXXXXX";
  if (!mkdtemp(dir)) ExitWith("world scene", std::string("mkdtemp: ") + std::strerror(errno));
  std::filesystem::create_directory(std::string(dir) + "/sprite");
  base::FileError failure;
  if (!base::WriteFileAtomic(std::string(dir) + "/sprite/plain.spr", WorldSpriteFile(false),
                             &failure) ||
      !base::WriteFileAtomic(std::string(dir) + "/sprite/varied.spr", WorldSpriteFile(true),
                             &failure))
    ExitWith("world scene", failure.Text());
  std::filesystem::current_path(dir);
  if (!base::InitPaths()) ExitWith("world scene", "the paths of /tmp do not fit");
  Lua("SPRITES = LoadSpriteSet('plain.spr') VARIED = LoadSpriteSet('varied.spr')");
  std::filesystem::current_path(home);
  std::filesystem::remove_all(dir);
}

// The full pool: 150 + 150 enemies in the upper half, 100 player bullets in
// the lower half (10 of them on enemies, so "e_col" runs and the enemies
// flash), 200 enemy bullets and 400 layer pieces. Every updater reads and
// writes `dir`, which swings the instance one pixel right and back.
inline void BuildWorld() {
  base::InitDirTable();
  object::InitPool();
  script::InitScript();
  runtime::RegisterInterface();
  L = script::LuaState;
  video::BackBuffer = video::CreateSurface(320, 240);
  LoadWorldSprites();
  // A blend table whose entries differ, so that blended pixels cost what
  // they do in a game.
  for (int i = 0; i < 65536 * 3; ++i)
    video::BlendTable[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  Lua("function up(i) i.dir = 60 - i.dir end\n"
      "hits = 0 function e_col(e, b) hits = hits + 1 e.hit = 9 end\n"
      "function kind(size) local k = NewObject() k:SetSpriteSet(SPRITES) k:SetAnimSize(1)\n"
      "  k:SetAnim(0, 0, 3, 1, true) k.cx, k.cy, k.size = 8, 8, size return k end\n"
      "E, B, S = kind(6), kind(2), kind(0)\n"
      "for n = 0, 149 do AddEnemy0(E, 'up', 10 + (n % 30) * 10, 10 + (n / 30) * 10, 65536, 0, 0, "
      "-1) end\n"
      "for n = 0, 149 do AddEnemy1(E, 'up', 15 + (n % 30) * 10, 60 + (n / 30) * 10, 65536, 0, 0, "
      "-1) end\n"
      "for n = 0, 89 do AddPBullet(B, 'up', 10 + (n % 30) * 10, 150 + (n / 30) * 20, 65536, 0, 0, "
      "-1) end\n"
      "for n = 0, 9 do AddPBullet(B, 'up', 10 + n * 10, 10, 65536, 0, 0, -1) end\n"
      "for n = 0, 199 do AddEBullet(B, 'up', 5 + (n % 40) * 8, 130 + (n / 40) * 20, 65536, 0, 0, "
      "-1) end\n"
      "for n = 0, 99 do AddLayer0(S, 'up', (n % 20) * 16, (n / 20) * 48, 65536, 0, 0, -1) end\n"
      "for n = 0, 99 do AddLayer1(S, 'up', (n % 20) * 16, 8 + (n / 20) * 48, 65536, 0, 0, -1) end\n"
      "for n = 0, 99 do AddLayer2(S, 'up', (n % 20) * 16, 16 + (n / 20) * 48, 65536, 0, 0, -1) "
      "end\n"
      "for n = 0, 99 do probe = AddLayer3(S, 'up', (n % 20) * 16, 24 + (n / 20) * 48, 65536, 0, 0, "
      "-1) end\n");
  if (object::PoolFree() != 0) {
    std::fprintf(stderr, "world scene: the pool is not full\n");
    std::exit(1);
  }
  probe = object::ListContents(object::kLayer3).front();
}

inline void Frame() {
  object::UpdateWorld();
  std::memset(video::BackBuffer->pixels, 0, static_cast<std::size_t>(video::BackBuffer->size));
  object::RenderWorld();
}

// The kinds' sprites: the plain ones or the varied ones. Also gives every
// instance its longest life again (65535 steps), which repeated runs of the
// stepping benchmarks would use up.
inline void UseSprites(bool varied) {
  Lua(varied ? "for _, k in ipairs({E, B, S}) do k:SetSpriteSet(VARIED) end"
             : "for _, k in ipairs({E, B, S}) do k:SetSpriteSet(SPRITES) end");
  for (int list = 0; list < object::kListCount; ++list)
    for (object::Instance* i : object::ListContents(static_cast<object::List>(list))) i->life = -1;
}

// The floor: the same 1000 updater calls made by plain Lua on plain tables
// (the function looked up by name, called protected, the same body). The
// tables stay on the stack at the index returned, for PlainLuaUpdaters,
// until the caller pops them.
inline int PushPlainTables() {
  Lua("plain = {} for n = 1, 1000 do plain[n] = {dir = 0} end\n"
      "function plain_up(i) i.dir = 60 - i.dir end");
  lua_getglobal(L, "plain");
  return lua_gettop(L);
}

inline void PlainLuaUpdaters(int plain) {
  for (int n = 1; n <= object::kPoolSize; ++n) {
    lua_getglobal(L, "plain_up");
    lua_rawgeti(L, plain, n);
    if (lua_pcall(L, 1, 0, 0) != 0) std::abort();
  }
}

}  // namespace bench
