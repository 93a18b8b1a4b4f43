// What a headless run costs before and after its frames: the CPU time
// (user + system, as the kernel counts it for the child) of
// `lunashot --headless --max-frames 1` on a game of one Present, median of
// 20 runs, beside /bin/true measured the same way, the floor of starting
// any process on this machine. Goal: at most 4 ms.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

[[noreturn]] void Exit(const std::string& message) {
  std::fprintf(stderr, "start_bench: %s\n", message.c_str());
  std::exit(1);
}

// Median CPU milliseconds of `runs` runs of `argv`, its output discarded.
double MedianCpuMs(std::vector<std::string> argv, int runs) {
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    pid_t pid;
    if (posix_spawn(&pid, args[0], &quiet, nullptr, args.data(), environ) != 0)
      Exit(std::string("cannot run ") + args[0]);
    int status;
    rusage use;
    if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      Exit(std::string(args[0]) + " failed");
    ms.push_back((use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1e3 +
                 (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e3);
  }
  posix_spawn_file_actions_destroy(&quiet);
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main() {
  const fs::path game = fs::temp_directory_path() / ("start_bench." + std::to_string(getpid()));
  fs::create_directories(game / "script");
  fs::create_directories(game / "sprite");
  std::ofstream(game / "script" / "start.lua") << "Present()\n";
  std::ofstream(game / "sprite" / "pal.pal", std::ios::binary) << std::string(197376, '\0');
  constexpr int kRuns = 20;
  const double engine =
      MedianCpuMs({LUNASHOT_BINARY, "--headless", "--max-frames", "1", game.string()}, kRuns);
  const double floor = MedianCpuMs({"/bin/true"}, kRuns);
  fs::remove_all(game);
  std::printf("headless start + one frame + stop, CPU (median of %d): %.2f ms (goal <= 4 ms)\n",
              kRuns, engine);
  std::printf("/bin/true measured the same way: %.2f ms; the engine over it: %.2f ms\n", floor,
              engine - floor);
  return 0;
}
