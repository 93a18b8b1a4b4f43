// Heap allocations per frame in steady state, counted in the real binary's
// headless runs by a preloaded counter (alloc_hook): the demo's scripted
// play (also with --frame-hashes) and a full-pool game (1000 instances with Lua updaters that read and
// write a field, 100 player bullets against 300 enemies with hit flashes).
// Each game runs twice, to frames a and b; the difference of the two counts
// over b - a is what a frame allocates once started. Goal: 0 by the engine;
// what the scripts' Lua heap takes (the demo formats its HUD's text) is
// shown beside it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* kFullPool = R"(-- Allocation benchmark: the full pool, every frame.
local sprites = LoadSpriteSet("spinner.spr")
function up(i) i.dir = 60 - i.dir end
hits = 0
function e_col(e, b) hits = hits + 1 e.hit = 9 end
local function kind(size)
  local k = NewObject() k:SetSpriteSet(sprites) k:SetAnimSize(1)
  k:SetAnim(0, 0, 0, 1, true) k.cx, k.cy, k.size = 8, 8, size return k
end
local E, B, S = kind(6), kind(2), kind(0)
for n = 0, 149 do AddEnemy0(E, 'up', 10 + (n % 30) * 10, 10 + (n / 30) * 10, 65536, 0, 0, -1) end
for n = 0, 149 do AddEnemy1(E, 'up', 15 + (n % 30) * 10, 60 + (n / 30) * 10, 65536, 0, 0, -1) end
for n = 0, 89 do AddPBullet(B, 'up', 10 + (n % 30) * 10, 150 + (n / 30) * 20, 65536, 0, 0, -1) end
for n = 0, 9 do AddPBullet(B, 'up', 10 + n * 10, 10, 65536, 0, 0, -1) end
for n = 0, 199 do AddEBullet(B, 'up', 5 + (n % 40) * 8, 130 + (n / 40) * 20, 65536, 0, 0, -1) end
for n = 0, 99 do AddLayer0(S, 'up', (n % 20) * 16, (n / 20) * 48, 65536, 0, 0, -1) end
for n = 0, 99 do AddLayer1(S, 'up', (n % 20) * 16, 8 + (n / 20) * 48, 65536, 0, 0, -1) end
for n = 0, 99 do AddLayer2(S, 'up', (n % 20) * 16, 16 + (n / 20) * 48, 65536, 0, 0, -1) end
for n = 0, 99 do AddLayer3(S, 'up', (n % 20) * 16, 24 + (n / 20) * 48, 65536, 0, 0, -1) end
while true do Update() end
)";

[[noreturn]] void Exit(const std::string& message) {
  std::fprintf(stderr, "alloc_bench: %s\n", message.c_str());
  std::exit(1);
}

struct Counts {
  unsigned long long all = 0, lua = 0;
};

// The allocations of a headless run of `game` to frame `frames`.
Counts Count(const fs::path& game, const std::string& options, int frames) {
  const fs::path out = game.parent_path() / "count";
  fs::remove(out);
  const std::string command = "cd '" + game.string() + "' && LD_PRELOAD='" ALLOC_HOOK
                              "' ALLOC_HOOK_OUT='" + out.string() + "' '" LUNASHOT_BINARY
                              "' --headless --max-frames " + std::to_string(frames) + " " +
                              options + " . >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) Exit("the run failed: " + command);
  std::ifstream in(out);
  Counts n;
  if (!(in >> n.all >> n.lua)) Exit("no count from " + command);
  return n;
}

void Report(const char* name, const fs::path& game, const std::string& options, int a, int b) {
  const Counts at_a = Count(game, options, a), at_b = Count(game, options, b);
  auto per_frame = [&](unsigned long long x, unsigned long long y) {
    return (static_cast<double>(y) - static_cast<double>(x)) / (b - a);
  };
  const double engine = per_frame(at_a.all - at_a.lua, at_b.all - at_b.lua);
  std::printf(
      "%-12s frames %d-%d: %.3f engine allocations a frame (goal 0: %s), %.3f by the scripts' "
      "Lua heap\n",
      name, a, b, engine, engine <= 0 ? "met" : "NOT MET", per_frame(at_a.lua, at_b.lua));
}

}  // namespace

int main() {
  char dir[] = "/tmp/alloc_bench-XXXXXX";
  if (!mkdtemp(dir)) Exit("mkdtemp failed");
  const fs::path root = dir;
  const fs::path demo = root / "demo", pool = root / "pool";
  fs::copy(DEMO_DIR, demo, fs::copy_options::recursive);
  // Without the saved replays: every run starts the same.
  fs::remove_all(demo / "replay");
  fs::create_directories(demo / "replay");
  fs::create_directories(pool / "script");
  fs::copy(DEMO_DIR "/sprite", pool / "sprite", fs::copy_options::recursive);
  std::ofstream(pool / "script" / "start.lua") << kFullPool;
  // The demo's play runs from frame 133 to 3666.
  Report("demo", demo, "--input '" DEMO_PLAY "'", 1200, 2400);
  Report("demo, hashed", demo, "--input '" DEMO_PLAY "' --frame-hashes /dev/null", 1200, 2400);
  Report("full pool", pool, "", 300, 900);
  fs::remove_all(root);
}
