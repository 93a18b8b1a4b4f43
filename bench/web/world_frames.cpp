// world_bench's full-pool frame timed by a plain loop, for the build without
// Google Benchmark: compiled to WebAssembly with the page's options and run
// under node (./make.sh web-bench), and natively for the comparison. Each
// figure is the median of several timings of kFrames in a row, in the
// process's CPU time (as world_bench's goals are: on a shared machine the
// wall clock also counts the time spent waiting), the frame's wall time
// beside it.
// usage: world_frames [RUNS]
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/world_scene.h"
#include "video/masked_rows.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

constexpr int kFrames = 100;

#ifdef __EMSCRIPTEN__
constexpr const char* kBuild = "WebAssembly under node";
constexpr const char* kVectorCode = "WebAssembly SIMD";
// Emscripten's clocks are all wall clocks; node counts the process's CPU.
// clang-format off
EM_JS(double, CpuMicros, (), {
  const used = process.cpuUsage();
  return used.user + used.system;
});
// clang-format on
#else
constexpr const char* kBuild = "native";
constexpr const char* kVectorCode = "SSE2";
double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}
#endif

struct Timing {
  std::vector<double> cpu, wall;  // microseconds per call, one entry a run
};

// Times kFrames calls of f.
template <class F>
void Time(F f, Timing* timing) {
  const double cpu = CpuMicros();
  const auto wall = std::chrono::steady_clock::now();
  for (int n = 0; n < kFrames; ++n) f();
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - wall;
  timing->cpu.push_back((CpuMicros() - cpu) / kFrames);
  timing->wall.push_back(spent.count() / kFrames);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1 || runs > 1000) {
    std::fprintf(stderr, "usage: world_frames [RUNS (1 to 1000)]\n");
    return 2;
  }
#ifdef __EMSCRIPTEN__
  // The page's frame wait unwinds through Asyncify, which instruments the
  // functions that may reach a yield, Lua's VM among them (through its
  // indirect calls). This program yields too, so its code is the page's.
  emscripten_sleep(0);
#endif
  bench::BuildWorld();
  const int plain = bench::PushPlainTables();
  const auto floor = [plain] { bench::PlainLuaUpdaters(plain); };
  // Runs every path a while first: node compiles hot WebAssembly again,
  // optimised, only after it has run some time.
  Timing warm_up;
  for (const bool varied : {false, true}) {
    bench::UseSprites(varied);
    for (int n = 0; n < 3; ++n) Time(bench::Frame, &warm_up), Time(floor, &warm_up);
  }
  // The three timings take turns, so a slow spell of the machine spreads
  // over all of them rather than over one.
  Timing plain_sprites, varied_sprites, plain_lua;
  for (int run = 0; run < runs; ++run) {
    bench::UseSprites(false);
    Time(bench::Frame, &plain_sprites);
    bench::UseSprites(true);
    Time(bench::Frame, &varied_sprites);
    Time(floor, &plain_lua);
  }
  const double p = Median(plain_sprites.cpu), v = Median(varied_sprites.cpu),
               f = Median(plain_lua.cpu);
  std::printf("world_frames, %s (masked rows merged by %s): CPU time, medians of %d runs of %d calls\n",
              kBuild, video::kVectorMerge ? kVectorCode : "64-bit code", runs, kFrames);
  std::printf("frame, varied sprites: %.1f us\n", v);
  std::printf("frame, plain sprites: %.1f us\n", p);
  std::printf("plain Lua's 1000 updater calls: %.1f us\n", f);
  std::printf("frame / plain Lua: varied %.2f x (native goal: at most 2.5 x), plain %.2f x\n",
              v / f, p / f);
  std::printf("wall time: frame %.1f us varied, %.1f us plain; plain Lua %.1f us\n",
              Median(varied_sprites.wall), Median(plain_sprites.wall), Median(plain_lua.wall));
  return 0;
}
