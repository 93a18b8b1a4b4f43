// Loading replays: RunReplay of files of 20 000, 160 000 and 1 190 000
// records (the last about the largest file the reader accepts, 16 MiB), and
// rep() called from a script loop. Loading must cost time in proportion to
// the records; printed as the ratio of 160k to 20k records (goal: at most
// 10 x, 8 x being exact proportion) and the time of the largest (goal:
// under a second).
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "base/file.h"
#include "base/paths.h"
#include "base/replay_file.h"
#include "event/replay.h"
#include "event/timeline.h"
#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "runtime/bindings.h"
#include "script/host.h"

namespace {

constexpr int kSizes[] = {20000, 160000, 1190000};
std::string work;

[[noreturn]] void Die(const std::string& why) {
  std::fprintf(stderr, "replay_bench: %s\n", why.c_str());
  std::exit(1);
}

// A game folder in /tmp with an empty script a.lua and one replay per size:
// frames 1..n in rising order, keys 0-9, as a play records them.
void MakeGame() {
  char pattern[] = "/tmp/lunashot-replay-bench-XXXXXX";
  if (!mkdtemp(pattern)) Die("cannot make a folder in /tmp");
  work = pattern;
  if (chdir(pattern) != 0 || mkdir("script", 0755) != 0 || mkdir("replay", 0755) != 0 ||
      !base::InitPaths())
    Die("cannot set up " + work);
  base::FileError failure;
  if (!base::WriteFileAtomic("script/a.lua", "", 0, &failure)) Die("cannot write a.lua");
  for (int n : kSizes) {
    base::ReplayFile replay;
    replay.scripts[0] = replay.scripts[1] = "a.lua";
    for (int i = 1; i <= n; ++i)
      replay.records.emplace_back(static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(i % 10));
    const std::string text = base::ReplayText(replay);
    if (text.size() > base::kMaxReplayBytes) Die("the largest replay is over the reader's limit");
    const std::string path = "replay/R" + std::to_string(n);
    if (!base::WriteFileAtomic(path, text.data(), text.size(), &failure)) Die("cannot write " + path);
  }
  object::InitPool();
  script::InitScript();
  runtime::RegisterInterface();
}

void BM_LoadReplay(benchmark::State& state) {
  const std::string name = "R" + std::to_string(state.range(0));
  for (auto _ : state) {
    event::RunReplay(name.c_str());
    state.PauseTiming();
    if (event::PendingEvents() != static_cast<std::size_t>(state.range(0))) Die(name + " did not load");
    event::ClearEvent();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadReplay)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);
// A mean over several loads: one alone varies with the page faults of fresh memory.
BENCHMARK(BM_LoadReplay)->Arg(kSizes[2])->Iterations(5)->Unit(benchmark::kMillisecond);

// rep() called by a script, as a replay file run as a script would.
void BM_RepLoop(benchmark::State& state) {
  lua_State* L = script::LuaState;
  const std::string code = "for i = 1, " + std::to_string(state.range(0)) + " do rep(i, i) end";
  for (auto _ : state) {
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0)
      Die(lua_tostring(L, -1));
    state.PauseTiming();
    event::ClearEvent();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RepLoop)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMillisecond);

// Keeps the mean CPU time per iteration of every benchmark, in ms.
class Recorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations <= 0) continue;
      const double to_ms = benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                           benchmark::GetTimeUnitMultiplier(run.time_unit);
      ms[run.benchmark_name()] = run.GetAdjustedCPUTime() * to_ms;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ms;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MakeGame();
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  script::QuitScript();
  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);

  auto& t = recorder.ms;
  const std::string load = "BM_LoadReplay/";
  const std::string small = load + std::to_string(kSizes[0]), middle = load + std::to_string(kSizes[1]),
                    large = load + std::to_string(kSizes[2]) + "/iterations:5";
  std::printf("\n");
  if (t.count(small) && t.count(middle))
    std::printf("replay load: %d records %.1f ms, %d records %.1f ms = %.2f x (goal: at most 10 x)\n",
                kSizes[0], t[small], kSizes[1], t[middle], t[middle] / t[small]);
  if (t.count(large))
    std::printf("replay load: %d records (16 MiB) %.1f ms (goal: under 1000 ms)\n", kSizes[2],
                t[large]);
  const std::string rep = "BM_RepLoop/";
  for (int n : {kSizes[0], kSizes[1]}) {
    const std::string key = rep + std::to_string(n);
    if (t.count(key))
      std::printf("rep() in a script loop, %d records: %.0f ns a record\n", n, t[key] * 1e6 / n);
  }
  return 0;
}
