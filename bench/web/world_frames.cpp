// world_bench's full-pool frame timed by a plain loop, for the build without
// Google Benchmark: compiled to WebAssembly with the page's options and run
// under node (./make.sh web-bench), and natively for the comparison. Each
// figure is the median of several timings of kFrames in a row on the
// monotonic clock: wall time, so the machine's other work counts too.
// usage: world_frames [RUNS]
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

#if defined(__wasm_simd128__)
constexpr const char* kVectorCode = "WebAssembly SIMD";
#else
constexpr const char* kVectorCode = "SSE2";
#endif

// Microseconds per call of f, over kFrames calls.
template <class F>
double MicrosEach(F f) {
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < kFrames; ++n) f();
  const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / kFrames;
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
  // The page's frame wait unwinds through Asyncify, which instruments every
  // function that may reach an indirect call, Lua's VM among them. This
  // program yields the same way once, so its code is the page's.
  emscripten_sleep(0);
  const char* build = "WebAssembly";
#else
  const char* build = "native";
#endif
  bench::BuildWorld();
  const int plain = bench::PushPlainTables();
  const auto floor = [plain] { bench::PlainLuaUpdaters(plain); };
  // Runs every path a few times first: node compiles hot WebAssembly again,
  // optimised, only after it has run a while.
  for (const bool varied : {false, true}) {
    bench::UseSprites(varied);
    for (int n = 0; n < 3; ++n) MicrosEach(bench::Frame), MicrosEach(floor);
  }
  // The three timings take turns, so a slow spell of the machine spreads
  // over all of them rather than over one.
  std::vector<double> plain_us, varied_us, floor_us;
  for (int run = 0; run < runs; ++run) {
    bench::UseSprites(false);
    plain_us.push_back(MicrosEach(bench::Frame));
    bench::UseSprites(true);
    varied_us.push_back(MicrosEach(bench::Frame));
    floor_us.push_back(MicrosEach(floor));
  }
  const double p = Median(plain_us), v = Median(varied_us), f = Median(floor_us);
  std::printf("world_frames, %s (masked rows merged by %s): medians of %d runs of %d frames\n",
              build, video::kVectorMerge ? kVectorCode : "64-bit code", runs, kFrames);
  std::printf("frame, varied sprites: %.1f us\n", v);
  std::printf("frame, plain sprites: %.1f us\n", p);
  std::printf("plain Lua's 1000 updater calls: %.1f us\n", f);
  std::printf("frame / plain Lua: varied %.2f x (native goal: at most 2.5 x), plain %.2f x\n",
              v / f, p / f);
  return 0;
}
