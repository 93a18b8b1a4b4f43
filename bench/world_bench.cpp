// Speed of the world: one frame of UpdateWorld + RenderWorld with the full
// pool (1000 instances with Lua updaters, 100 player bullets against 300
// enemies, 16 x 16 sprites, hit flashes), drawn with plain sprites and with
// sprites like real art; the cost of one updater call against a raw Lua
// call, and the Lua heap growth per frame. Printed as ratios to the goals,
// medians over --benchmark_repetitions; the frame's goal is judged on the
// frame and its floor timed in turns (TimeInTurns).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "bench/world_scene.h"
#include "lua.h"
#include "object/instance.h"
#include "object/world.h"
#include "script/host.h"

namespace {

using bench::BuildWorld;
using bench::Frame;
using bench::L;
using bench::probe;
using bench::UseSprites;

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

// The floor: plain Lua's cost of the same 1000 updater calls.
void BM_PlainLuaFloor(benchmark::State& state) {
  const int plain = bench::PushPlainTables();
  for (auto _ : state) bench::PlainLuaUpdaters(plain);
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
  bench::Lua("function empty(i) end");
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

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// The frame over plain Lua's calls timed in turns: rounds of 20 frames of
// each sprite kind, then 20 runs of the floor; the median of the rounds'
// ratios. A slow spell of a shared machine then weighs on both sides of a
// ratio alike, where the benchmarks above, timed one after another, may
// catch the frame in one spell and the floor out of it.
struct PairedRatios {
  double plain, varied, varied_low, varied_high;
};
PairedRatios TimeInTurns() {
  const int plain = bench::PushPlainTables();
  auto time = [](auto f) {
    const double start = CpuMicros();
    for (int n = 0; n < 20; ++n) f();
    return CpuMicros() - start;
  };
  std::vector<double> plain_ratios, varied_ratios;
  for (int round = 0; round < 16; ++round) {
    UseSprites(false);
    const double frames = time(Frame);
    UseSprites(true);
    const double varied = time(Frame);
    const double floor = time([plain] { bench::PlainLuaUpdaters(plain); });
    if (round == 0) continue;  // the warm-up
    plain_ratios.push_back(frames / floor);
    varied_ratios.push_back(varied / floor);
  }
  UseSprites(false);
  lua_settop(L, plain - 1);
  const auto [low, high] = std::minmax_element(varied_ratios.begin(), varied_ratios.end());
  return {Median(plain_ratios), Median(varied_ratios), *low, *high};
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
        std::printf("full-pool frame, %s sprites / plain Lua's 1000 updater calls (%.1f us), "
                    "timed apart = %.2f x (info)\n",
                    std::strcmp(name, "BM_Frame") == 0 ? "plain " : "varied",
                    t["BM_PlainLuaFloor"] / 1e3, t[name] / t["BM_PlainLuaFloor"]);
  }
  if (t.count("BM_FrameVaried") && t.count("BM_PlainLuaFloor")) {
    const PairedRatios r = TimeInTurns();
    std::printf("full-pool frame / plain Lua's 1000 updater calls, timed in turns: plain sprites "
                "%.2f x (info), varied sprites %.2f x (rounds %.2f-%.2f) (goal: at most 2.5 x)\n",
                r.plain, r.varied, r.varied_low, r.varied_high);
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
