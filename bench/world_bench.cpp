// Speed of the world: one frame of UpdateWorld + RenderWorld with the full
// pool (1000 instances with Lua updaters, 100 player bullets against 300
// enemies, 16 x 16 sprites, hit flashes), drawn with plain sprites and with
// sprites like real art; the cost of one updater call against a raw Lua
// call, and the Lua heap growth per frame. Printed as ratios to the goals,
// medians over --benchmark_repetitions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
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

namespace {

lua_State* L = nullptr;
object::Instance* probe = nullptr;  // a listed instance with the updater "up"

void Lua(const char* code) {
  if (luaL_dostring(L, code) != 0) {
    std::fprintf(stderr, "world_bench: %s\n", lua_tostring(L, -1));
    std::exit(1);
  }
}

// Four 16 x 16 sprites. Plain: per row 3 transparent, 10 opaque, 3
// transparent. Varied, like drawn art: about 30% of the pixels transparent,
// scattered, and a tenth of the others blended.
std::vector<std::uint8_t> SpriteFile(bool varied) {
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
  return bench::SetFileOrExit(images, "world_bench");
}

// The sets reach the scripts as a game's do: SPRITES and VARIED =
// LoadSpriteSet of files in sprite/ of a temporary game folder, the working
// directory meanwhile.
void LoadSprites() {
  const std::filesystem::path home = std::filesystem::current_path();
  char dir[] = "/tmp/world_bench-XXXXXX";
  if (!mkdtemp(dir)) bench::ExitWith("world_bench", std::string("mkdtemp: ") + std::strerror(errno));
  std::filesystem::create_directory(std::string(dir) + "/sprite");
  base::FileError failure;
  if (!base::WriteFileAtomic(std::string(dir) + "/sprite/plain.spr", SpriteFile(false), &failure) ||
      !base::WriteFileAtomic(std::string(dir) + "/sprite/varied.spr", SpriteFile(true), &failure))
    bench::ExitWith("world_bench", failure.Text());
  std::filesystem::current_path(dir);
  if (!base::InitPaths()) bench::ExitWith("world_bench", "the paths of /tmp do not fit");
  Lua("SPRITES = LoadSpriteSet('plain.spr') VARIED = LoadSpriteSet('varied.spr')");
  std::filesystem::current_path(home);
  std::filesystem::remove_all(dir);
}

// The full pool: 150 + 150 enemies in the upper half, 100 player bullets in
// the lower half (10 of them on enemies, so "e_col" runs and the enemies
// flash), 200 enemy bullets and 400 layer pieces. Every updater reads and
// writes `dir`, which swings the instance one pixel right and back.
void BuildWorld() {
  base::InitDirTable();
  object::InitPool();
  script::InitScript();
  runtime::RegisterInterface();
  L = script::LuaState;
  video::BackBuffer = video::CreateSurface(320, 240);
  LoadSprites();
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
    std::fprintf(stderr, "world_bench: the pool is not full\n");
    std::exit(1);
  }
  probe = object::ListContents(object::kLayer3).front();
}

void Frame() {
  object::UpdateWorld();
  std::memset(video::BackBuffer->pixels, 0, static_cast<std::size_t>(video::BackBuffer->size));
  object::RenderWorld();
}

// The kinds' sprites: the plain ones or the varied ones. Also gives every
// instance its longest life again (65535 steps), which repeated runs of the
// stepping benchmarks would use up.
void UseSprites(bool varied) {
  Lua(varied ? "for _, k in ipairs({E, B, S}) do k:SetSpriteSet(VARIED) end"
             : "for _, k in ipairs({E, B, S}) do k:SetSpriteSet(SPRITES) end");
  for (int list = 0; list < object::kListCount; ++list)
    for (object::Instance* i : object::ListContents(static_cast<object::List>(list))) i->life = -1;
}

void BM_Frame(benchmark::State& state) {
  UseSprites(false);
  for (auto _ : state) Frame();
}
BENCHMARK(BM_Frame);

void BM_FrameVaried(benchmark::State& state) {
  UseSprites(true);
  for (auto _ : state) Frame();
  UseSprites(false);
}
BENCHMARK(BM_FrameVaried);

void BM_UpdateWorld(benchmark::State& state) {
  UseSprites(false);
  for (auto _ : state) object::UpdateWorld();
}
BENCHMARK(BM_UpdateWorld);

void BM_RenderWorld(benchmark::State& state) {
  UseSprites(false);
  for (auto _ : state) object::RenderWorld();
}
BENCHMARK(BM_RenderWorld);

void BM_RenderWorldVaried(benchmark::State& state) {
  UseSprites(true);
  for (auto _ : state) object::RenderWorld();
  UseSprites(false);
}
BENCHMARK(BM_RenderWorldVaried);

// The engine's updater call: by name, the instance's one handle pushed.
void BM_EngineUpdaterCall(benchmark::State& state) {
  for (auto _ : state) script::CallFunction(probe->updater.c_str(), probe->index);
}
BENCHMARK(BM_EngineUpdaterCall);

// The same Lua function called directly with a cached userdata argument.
void BM_RawUpdaterCall(benchmark::State& state) {
  script::PushHandle(L, probe->index);
  const int handle = lua_gettop(L);
  for (auto _ : state) {
    lua_getglobal(L, "up");
    lua_pushvalue(L, handle);
    if (lua_pcall(L, 1, 0, 0) != 0) std::abort();
  }
  lua_settop(L, handle - 1);
}
BENCHMARK(BM_RawUpdaterCall);

// The floor: the same 1000 updater calls made by plain Lua on plain tables
// (the function looked up by name, called protected, the same body).
void BM_PlainLuaFloor(benchmark::State& state) {
  Lua("plain = {} for n = 1, 1000 do plain[n] = {dir = 0} end\n"
      "function plain_up(i) i.dir = 60 - i.dir end");
  lua_getglobal(L, "plain");
  const int plain = lua_gettop(L);
  for (auto _ : state) {
    for (int n = 1; n <= object::kPoolSize; ++n) {
      lua_getglobal(L, "plain_up");
      lua_rawgeti(L, plain, n);
      if (lua_pcall(L, 1, 0, 0) != 0) std::abort();
    }
  }
  lua_settop(L, plain - 1);
}
BENCHMARK(BM_PlainLuaFloor);

// The machine's floor for the same frame, in three measured primitives:
// the stores (clear, the sprites' 160000 pixels, the copy to the screen),
// 1000 of the cheapest calls from C into Lua, and the 30000 circle tests of
// 100 bullets against 300 enemies over plain arrays.
void BM_FloorStores(benchmark::State& state) {
  static std::uint8_t frame[76800], screen[76800], pixels[160000], target[160000];
  std::memset(pixels, 7, sizeof pixels);
  for (auto _ : state) {
    std::memset(frame, 0, sizeof frame);
    std::memcpy(target, pixels, sizeof pixels);
    std::memcpy(screen, frame, sizeof frame);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FloorStores);

void BM_FloorCalls(benchmark::State& state) {
  Lua("function empty(i) end");
  lua_getglobal(L, "empty");
  const int f = lua_gettop(L);
  for (auto _ : state) {
    for (int n = 0; n < object::kPoolSize; ++n) {
      lua_pushvalue(L, f);
      lua_pushnil(L);
      lua_call(L, 1, 0);
    }
  }
  lua_settop(L, f - 1);
}
BENCHMARK(BM_FloorCalls);

void BM_FloorCircles(benchmark::State& state) {
  static std::int32_t ex[300], ey[300], er[300], bx[100], by[100], br[100];
  for (int n = 0; n < 300; ++n) ex[n] = n * 7 % 320, ey[n] = n * 13 % 240, er[n] = 36;
  for (int n = 0; n < 100; ++n) bx[n] = n * 3, by[n] = n * 2, br[n] = 4;
  for (auto _ : state) {
    int hits = 0;
    for (int b = 0; b < 100; ++b)
      for (int e = 0; e < 300; ++e) {
        const std::int32_t dx = ex[e] - bx[b], dy = ey[e] - by[b];
        const std::int32_t reach = er[e] + br[b];
        hits += dx * dx + dy * dy < reach * reach;
      }
    benchmark::DoNotOptimize(hits);
  }
}
BENCHMARK(BM_FloorCircles);

// Keeps the CPU and real time per iteration of every benchmark, in ns: the
// median over the repetitions. The CPU time is the figure compared with the
// goals: on a machine shared with other work the real time also counts the
// time the process waited.
class Recorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations <= 0) continue;
      const double to_ns = benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                           benchmark::GetTimeUnitMultiplier(run.time_unit);
      const std::string name = run.run_name.function_name;
      cpu_runs[name].push_back(run.GetAdjustedCPUTime() * to_ns);
      real_runs[name].push_back(run.GetAdjustedRealTime() * to_ns);
      cpu[name] = Median(cpu_runs[name]);
      real[name] = Median(real_runs[name]);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> cpu, real;

 private:
  static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  std::map<std::string, std::vector<double>> cpu_runs, real_runs;
};

std::size_t HeapBytes() {
  return static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 +
         static_cast<std::size_t>(lua_gc(L, LUA_GCCOUNTB, 0));
}

// Heap growth per frame with the collector stopped, after a warm-up.
template <class F>
double GrowthPerFrame(F frame) {
  lua_gc(L, LUA_GCCOLLECT, 0);
  lua_gc(L, LUA_GCSTOP, 0);
  for (int n = 0; n < 50; ++n) frame();
  const std::size_t before = HeapBytes();
  constexpr int kFrames = 200;
  for (int n = 0; n < kFrames; ++n) frame();
  const std::size_t after = HeapBytes();
  lua_gc(L, LUA_GCRESTART, 0);
  return (static_cast<double>(after) - static_cast<double>(before)) / kFrames;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BuildWorld();
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);

  std::printf("\n");
  auto& t = recorder.cpu;
  if (t.count("BM_Frame")) {
    const double ms = t["BM_Frame"] / 1e6;
    std::printf(
        "frame (UpdateWorld + clear + RenderWorld, full pool): %.3f ms CPU = %.2f%% of the "
        "16 ms frame (goal: under 3%%, about 0.5 ms); real time %.3f ms\n",
        ms, ms / 16.0 * 100.0, recorder.real["BM_Frame"] / 1e6);
  }
  if (t.count("BM_UpdateWorld") && t.count("BM_RenderWorld"))
    std::printf("  of which UpdateWorld %.3f ms, RenderWorld %.3f ms\n", t["BM_UpdateWorld"] / 1e6,
                t["BM_RenderWorld"] / 1e6);
  if (t.count("BM_FrameVaried") && t.count("BM_RenderWorldVaried"))
    std::printf("with varied sprites: frame %.3f ms, RenderWorld %.3f ms\n",
                t["BM_FrameVaried"] / 1e6, t["BM_RenderWorldVaried"] / 1e6);
  if (t.count("BM_PlainLuaFloor")) {
    for (const char* name : {"BM_Frame", "BM_FrameVaried"})
      if (t.count(name))
        std::printf(
            "full-pool frame, %s sprites / plain Lua's 1000 updater calls (%.1f us) = %.2f x "
            "(goal: %s)\n",
            std::strcmp(name, "BM_Frame") == 0 ? "plain " : "varied", t["BM_PlainLuaFloor"] / 1e3,
            t[name] / t["BM_PlainLuaFloor"],
            std::strcmp(name, "BM_Frame") == 0 ? "info" : "at most 2.5 x");
  }
  if (t.count("BM_Frame") && t.count("BM_FloorStores") && t.count("BM_FloorCalls") &&
      t.count("BM_FloorCircles")) {
    const double floor = t["BM_FloorStores"] + t["BM_FloorCalls"] + t["BM_FloorCircles"];
    std::printf(
        "full-pool frame / the machine's floor (%.1f us: stores %.1f, calls %.1f, circle "
        "tests %.1f) = %.2f x (info)\n",
        floor / 1e3, t["BM_FloorStores"] / 1e3, t["BM_FloorCalls"] / 1e3,
        t["BM_FloorCircles"] / 1e3, t["BM_Frame"] / floor);
  }
  if (t.count("BM_EngineUpdaterCall") && t.count("BM_RawUpdaterCall"))
    std::printf(
        "updater call: engine %.1f ns / raw lua_getglobal + lua_pcall %.1f ns = %.2f x "
        "(goal: at most 2 x)\n",
        t["BM_EngineUpdaterCall"], t["BM_RawUpdaterCall"],
        t["BM_EngineUpdaterCall"] / t["BM_RawUpdaterCall"]);

  UseSprites(false);
  const double frame_growth = GrowthPerFrame(Frame);
  const double raw_growth = GrowthPerFrame([] {
    script::PushHandle(L, probe->index);
    for (int n = 0; n < object::kPoolSize; ++n) {
      lua_getglobal(L, "up");
      lua_pushvalue(L, -2);
      lua_pcall(L, 1, 0, 0);
    }
    lua_pop(L, 1);
  });
  std::printf(
      "Lua heap growth per frame after warm-up: %.1f bytes with the engine's frame, "
      "%.1f bytes for 1000 raw calls of the same updater; caused by the engine: %.1f bytes "
      "(goal: 0)\n",
      frame_growth, raw_growth, frame_growth - raw_growth);
  return 0;
}
