// Speed of the video core against plain references: DrawSprite against SDL's
// RLE colour-key blit of the same 8-bit sprites (unclipped, left- and
// top-clipped), clipped against unclipped drawing for those sprites and for
// sprites like drawn art, blended pixels, the frame step's clear against
// memset, Present against memcpy, and with --frame-hashes (its MD5 lanes
// against nettle's MD5 of one frame). Prints each goal as a ratio after the
// run.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend/backends.h"
#include "base/file.h"
#include "base/md5.h"
#include "base/png_file.h"
#include "bench/sprite_file.h"
#include "runtime/frame.h"
#include "event/timeline.h"
#include "object/instance.h"
#include "platform/platform.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/recorder.h"
#include "video/sprite.h"
#include "video/surface.h"

namespace {

constexpr int kW = 320, kH = 240;
constexpr int kSide = 32;  // the sprites are 32 x 32, a typical ship
constexpr int kSprites = 8;
constexpr int kDraws = 64;  // draws per benchmark iteration

// Sprite s, pixel (x, y): 0 transparent, else an opaque colour index. An
// ellipse with two cut-outs, so rows hold one to three opaque runs.
int Pixel(int s, int x, int y) {
  int dx = 2 * x - (kSide - 1), dy = 2 * y - (kSide - 1);
  int rx = kSide - 2 - s, ry = kSide - 6 + s / 2;
  if (dx * dx * ry * ry + dy * dy * rx * rx > rx * rx * ry * ry) return 0;
  if (y > kSide / 2 && (x + s) % 11 < 3) return 0;  // exhausts between the fins
  return 1 + (s * 31 + x * 3 + y) % 250;
}

// Sprite s like drawn art, pixel (x, y): about 30% of the pixels
// transparent, scattered, and a tenth of the others blended.
base::Pixel VariedPixel(int s, int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>((s * kSide + y) * kSide + x) * 2654435761u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  const auto index = static_cast<std::uint8_t>(1 + (s * 31 + x * 3 + y) % 250);
  if (h % 100 < 30) return {};
  if (h / 100 % 10 == 0)
    return {base::Pixel::kBlended, index, static_cast<std::uint8_t>(h / 1000 % 3)};
  return {base::Pixel::kOpaque, index, 0};
}

// What the sprites are: Pixel()'s, VariedPixel()'s, or every pixel of the
// square blended (source index, level by column).
enum class Art { kPlain, kVaried, kBlended };

// Whether pixel (x, y) of sprite s draws.
bool Draws(Art art, int s, int x, int y) {
  return art == Art::kVaried ? VariedPixel(s, x, y).kind != base::Pixel::kTransparent
                             : Pixel(s, x, y) != 0;
}

// The part of each sprite that a draw shows: columns [x0, kSide), rows
// [y0, kSide).
struct Window {
  int x0 = 0, y0 = 0;
};

// Encodes sprites of `art` cut to `win`.
video::SpriteSet* MakeSet(Art art, Window win = {}) {
  const int width = kSide - win.x0, height = kSide - win.y0;
  std::vector<base::PixelImage> images(kSprites, base::PixelImage(width, height));
  for (int s = 0; s < kSprites; ++s)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        int index = Pixel(s, x + win.x0, y + win.y0);
        base::Pixel& p = images[s].at(x, y);
        if (art == Art::kBlended)
          p = {base::Pixel::kBlended, static_cast<std::uint8_t>(1 + (s * 7 + x + y) % 250),
               static_cast<std::uint8_t>(x % 3)};
        else if (art == Art::kVaried)
          p = VariedPixel(s, x + win.x0, y + win.y0);
        else if (index)
          p = {base::Pixel::kOpaque, static_cast<std::uint8_t>(index), 0};
      }
  return bench::MakeSetOrExit(images, "video_bench");
}

struct Placement {
  int sprite, x, y;
};

enum class Clip { kNone, kLeft, kTop };

// kDraws placements; clipped ones show exactly half of each sprite. With
// `at_edge`, the places where the visible halves land (for drawing the
// pre-cut halves unclipped).
std::vector<Placement> Placements(Clip clip, bool at_edge = false) {
  std::vector<Placement> out;
  for (int i = 0; i < kDraws; ++i) {
    int x = (i * 37) % (kW - kSide), y = (i * 53) % (kH - kSide);
    if (clip == Clip::kLeft) x = at_edge ? 0 : -kSide / 2;
    if (clip == Clip::kTop) y = at_edge ? 0 : -kSide / 2;
    out.push_back({i % kSprites, x, y});
  }
  return out;
}

// Pixels that draw and land on the target, per iteration.
long VisiblePixels(const std::vector<Placement>& where, Art art = Art::kPlain) {
  long n = 0;
  for (const Placement& p : where)
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        if (Draws(art, p.sprite, x, y) && p.x + x >= 0 && p.y + y >= 0 && p.x + x < kW &&
            p.y + y < kH)
          ++n;
  return n;
}

struct Fixture {
  video::SpriteSet* set = MakeSet(Art::kPlain);
  // The halves that the clipped draws show, as sprites of their own.
  video::SpriteSet* right_halves = MakeSet(Art::kPlain, {kSide / 2, 0});
  video::SpriteSet* bottom_halves = MakeSet(Art::kPlain, {0, kSide / 2});
  video::SpriteSet* varied = MakeSet(Art::kVaried);
  video::SpriteSet* varied_right_halves = MakeSet(Art::kVaried, {kSide / 2, 0});
  video::SpriteSet* blend_set = MakeSet(Art::kBlended);
  video::Surface* target = video::CreateSurface(kW, kH);
  SDL_Surface* sdl_target = nullptr;
  SDL_Surface* sdl_sprites[kSprites] = {};

  Fixture() {
    for (int i = 0; i < 65536 * 3; ++i)
      video::BlendTable[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
      colours[i] = {static_cast<Uint8>(i), static_cast<Uint8>(255 - i), static_cast<Uint8>(i * 3),
                    0};
    sdl_target = SDL_CreateRGBSurface(0, kW, kH, 8, 0, 0, 0, 0);
    SDL_SetPaletteColors(sdl_target->format->palette, colours, 0, 256);
    for (int s = 0; s < kSprites; ++s) {
      SDL_Surface* sp = SDL_CreateRGBSurface(0, kSide, kSide, 8, 0, 0, 0, 0);
      SDL_SetPaletteColors(sp->format->palette, colours, 0, 256);
      for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
          static_cast<Uint8*>(sp->pixels)[y * sp->pitch + x] = static_cast<Uint8>(Pixel(s, x, y));
      SDL_SetColorKey(sp, SDL_TRUE, 0);
      SDL_SetSurfaceRLE(sp, 1);
      SDL_Rect at = {0, 0, 0, 0};
      SDL_BlitSurface(sp, nullptr, sdl_target, &at);  // encodes the RLE form
      if (!(sp->flags & SDL_RLEACCEL)) {
        std::fprintf(stderr, "video_bench: SDL did not RLE-encode sprite %d\n", s);
        std::exit(1);
      }
      sdl_sprites[s] = sp;
    }
  }
};

Fixture& F() {
  static Fixture f;
  return f;
}

std::map<std::string, double> pixels_per_iteration;

void Note(benchmark::State& state, const std::string& name, long pixels) {
  pixels_per_iteration[name] = static_cast<double>(pixels);
  state.SetItemsProcessed(state.iterations() * pixels);
}

void DrawSprites(benchmark::State& state, Clip clip, const char* name) {
  Fixture& f = F();
  auto where = Placements(clip);
  for (auto _ : state) {
    for (const Placement& p : where)
      video::DrawSprite(f.target, f.set->sprites[p.sprite], p.x, p.y);
    benchmark::ClobberMemory();
  }
  Note(state, name, VisiblePixels(where));
}

// The same visible pixels as a clipped draw, from pre-cut sprites drawn
// wholly inside: the baseline for the cost of clipping.
void DrawHalves(benchmark::State& state, Clip clip, const char* name) {
  Fixture& f = F();
  video::SpriteSet* halves = clip == Clip::kLeft ? f.right_halves : f.bottom_halves;
  auto where = Placements(clip, true);
  for (auto _ : state) {
    for (const Placement& p : where)
      video::DrawSprite(f.target, halves->sprites[p.sprite], p.x, p.y);
    benchmark::ClobberMemory();
  }
  Note(state, name, VisiblePixels(Placements(clip)));
}

// The varied sprites: whole, left-clipped, and the right halves that the
// left-clipped draws show, drawn unclipped.
void DrawVaried(benchmark::State& state, Clip clip, bool halves, const char* name) {
  Fixture& f = F();
  video::SpriteSet* set = halves ? f.varied_right_halves : f.varied;
  auto where = Placements(clip, halves);
  for (auto _ : state) {
    for (const Placement& p : where)
      video::DrawSprite(f.target, set->sprites[p.sprite], p.x, p.y);
    benchmark::ClobberMemory();
  }
  Note(state, name, VisiblePixels(Placements(clip), Art::kVaried));
}

void SdlBlits(benchmark::State& state, Clip clip, const char* name) {
  Fixture& f = F();
  auto where = Placements(clip);
  for (auto _ : state) {
    for (const Placement& p : where) {
      SDL_Rect at = {p.x, p.y, 0, 0};
      SDL_BlitSurface(f.sdl_sprites[p.sprite], nullptr, f.sdl_target, &at);
    }
    benchmark::ClobberMemory();
  }
  Note(state, name, VisiblePixels(where));
}

void BM_DrawSprite(benchmark::State& s) { DrawSprites(s, Clip::kNone, "BM_DrawSprite"); }
void BM_SdlBlit(benchmark::State& s) { SdlBlits(s, Clip::kNone, "BM_SdlBlit"); }
void BM_DrawSpriteLeftClipped(benchmark::State& s) {
  DrawSprites(s, Clip::kLeft, "BM_DrawSpriteLeftClipped");
}
void BM_SdlBlitLeftClipped(benchmark::State& s) {
  SdlBlits(s, Clip::kLeft, "BM_SdlBlitLeftClipped");
}
void BM_DrawSpriteTopClipped(benchmark::State& s) {
  DrawSprites(s, Clip::kTop, "BM_DrawSpriteTopClipped");
}
void BM_SdlBlitTopClipped(benchmark::State& s) { SdlBlits(s, Clip::kTop, "BM_SdlBlitTopClipped"); }
void BM_DrawRightHalves(benchmark::State& s) { DrawHalves(s, Clip::kLeft, "BM_DrawRightHalves"); }
void BM_DrawBottomHalves(benchmark::State& s) { DrawHalves(s, Clip::kTop, "BM_DrawBottomHalves"); }

void BM_DrawVaried(benchmark::State& s) {
  DrawVaried(s, Clip::kNone, false, "BM_DrawVaried");
}
void BM_DrawVariedLeftClipped(benchmark::State& s) {
  DrawVaried(s, Clip::kLeft, false, "BM_DrawVariedLeftClipped");
}
void BM_DrawVariedRightHalves(benchmark::State& s) {
  DrawVaried(s, Clip::kLeft, true, "BM_DrawVariedRightHalves");
}

void BM_DrawBlended(benchmark::State& state) {
  Fixture& f = F();
  auto where = Placements(Clip::kNone);
  for (auto _ : state) {
    for (const Placement& p : where)
      video::DrawSprite(f.target, f.blend_set->sprites[p.sprite], p.x, p.y);
    benchmark::ClobberMemory();
  }
  Note(state, "BM_DrawBlended", static_cast<long>(where.size()) * kSide * kSide);
}

// The frame step with an empty world, on time every call: its cost is the
// clear of the back buffer plus the (empty) logic steps.
class OnTimeClock : public platform::Clock {
 public:
  std::uint32_t Ticks() override { return runtime::NextFrameTime; }
  void Delay(std::uint32_t) override {}
};
class NoInput : public platform::Input {
 public:
  void Poll(std::uint32_t) override {}
  bool Button(int) override { return false; }
};

void BM_FrameClear(benchmark::State& state) {
  OnTimeClock clock;
  NoInput input;
  platform::backends.clock = &clock;
  platform::backends.input = &input;
  object::InitPool();
  video::BackBuffer = F().target;
  runtime::NextFrameTime = 0;
  for (auto _ : state) {
    event::TimeCounter = 0;
    runtime::Update();
    benchmark::ClobberMemory();
  }
  Note(state, "BM_FrameClear", kW * kH);
}

void BM_Memset(benchmark::State& state) {
  std::uint8_t* p = F().target->pixels;
  for (auto _ : state) {
    benchmark::DoNotOptimize(p);
    std::memset(p, 0, kW * kH);
    benchmark::ClobberMemory();
  }
  Note(state, "BM_Memset", kW * kH);
}

std::vector<std::uint8_t>& Frame() {
  static std::vector<std::uint8_t> frame(kW * kH);
  return frame;
}

void BM_Present(benchmark::State& state) {
  std::unique_ptr<platform::Display> display = backend::CreateHeadlessDisplay();
  platform::backends.display = display.get();
  video::BackBuffer = F().target;
  video::Surface* screen = video::WrapSurface(Frame().data(), kW, kH);
  video::Screen = screen;
  for (auto _ : state) {
    video::Present();
    benchmark::ClobberMemory();
  }
  video::Screen = nullptr;
  video::DestroySurface(screen);
  platform::backends.display = nullptr;
  Note(state, "BM_Present", kW * kH);
}

// Present with --frame-hashes on (the lines going to /dev/null): the
// frame's RGB bytes made and hashed, a line written and flushed.
void BM_PresentHashed(benchmark::State& state) {
  std::unique_ptr<platform::Display> display = backend::CreateHeadlessDisplay();
  platform::backends.display = display.get();
  video::BackBuffer = F().target;
  video::Surface* screen = video::WrapSurface(Frame().data(), kW, kH);
  video::Screen = screen;
  video::StartFrameHashes("/dev/null");
  for (auto _ : state) {
    video::Present();
    benchmark::ClobberMemory();
  }
  video::StopRecording();
  video::Screen = nullptr;
  video::DestroySurface(screen);
  platform::backends.display = nullptr;
}

// The hash alone: one frame's RGB bytes by nettle's MD5, and a batch of 8
// frames in MD5 lanes as the recorder hashes them (a figure per frame).
constexpr std::size_t kRgbFrame = std::size_t{kW} * kH * 3;

const std::vector<std::uint8_t>& RgbFrames() {
  static const std::vector<std::uint8_t> frames = [] {
    std::vector<std::uint8_t> bytes(kRgbFrame * 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131);
    return bytes;
  }();
  return frames;
}

void BM_Md5(benchmark::State& state) {
  const std::uint8_t* frame = RgbFrames().data();
  for (auto _ : state) benchmark::DoNotOptimize(base::Md5Hex(frame, kRgbFrame));
}

void BM_Md5Lanes(benchmark::State& state) {
  const std::uint8_t* frames[8];
  for (int i = 0; i < 8; ++i) frames[i] = RgbFrames().data() + kRgbFrame * i;
  std::uint8_t sums[8][base::kMd5Size];
  for (auto _ : state) {
    base::Md5Lanes(frames, 8, kRgbFrame, sums);
    benchmark::DoNotOptimize(sums);
  }
  state.SetItemsProcessed(state.iterations() * 8);
}

void BM_Memcpy(benchmark::State& state) {
  std::uint8_t* to = Frame().data();
  const std::uint8_t* from = F().target->pixels;
  for (auto _ : state) {
    benchmark::DoNotOptimize(to);
    std::memcpy(to, from, kW * kH);
    benchmark::ClobberMemory();
  }
  Note(state, "BM_Memcpy", kW * kH);
}

BENCHMARK(BM_DrawSprite);
BENCHMARK(BM_SdlBlit);
BENCHMARK(BM_DrawSpriteLeftClipped);
BENCHMARK(BM_SdlBlitLeftClipped);
BENCHMARK(BM_DrawSpriteTopClipped);
BENCHMARK(BM_SdlBlitTopClipped);
BENCHMARK(BM_DrawRightHalves);
BENCHMARK(BM_DrawBottomHalves);
BENCHMARK(BM_DrawVaried);
BENCHMARK(BM_DrawVariedLeftClipped);
BENCHMARK(BM_DrawVariedRightHalves);
BENCHMARK(BM_DrawBlended);
BENCHMARK(BM_FrameClear);
BENCHMARK(BM_Memset);
BENCHMARK(BM_Present);
BENCHMARK(BM_PresentHashed);
BENCHMARK(BM_Md5);
BENCHMARK(BM_Md5Lanes);
BENCHMARK(BM_Memcpy);
// Frame recording: a screen like a game's (tiles of colour, a sprinkle of
// stars) written as --record-frames writes it, against the RGB image the
// recorder wrote before (the same pixels).
const std::uint8_t* GameLikeFrame() {
  static std::vector<std::uint8_t> frame;
  if (frame.empty()) {
    frame.resize(kW * kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        frame[y * kW + x] = static_cast<std::uint8_t>(
            ((x / 16 + y / 12) * 7 + ((x * 7919 + y * 104729) % 53 == 0 ? 200 : 0)) & 255);
  }
  return frame.data();
}

const video::Color* GreyPalette() {
  static video::Color colours[256];
  for (int i = 0; i < 256; ++i)
    colours[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                  static_cast<std::uint8_t>(i * 3)};
  return colours;
}

void BM_RecordFrame(benchmark::State& state) {
  std::string error;
  for (auto _ : state)
    if (!video::WritePng("/tmp/lunashot_bench_frame.png", GameLikeFrame(), kW, kH, GreyPalette(),
                         &error))
      state.SkipWithError(error.c_str());
}

void BM_RecordFrameRgb(benchmark::State& state) {
  std::string error;
  const video::Color* palette = GreyPalette();
  for (auto _ : state) {
    base::PngImage image;
    image.format = base::PngImage::Format::kRgb;
    image.width = kW;
    image.height = kH;
    image.pixels.resize(kW * kH * 3);
    for (int i = 0; i < kW * kH; ++i) {
      const video::Color& c = palette[GameLikeFrame()[i]];
      image.pixels[i * 3] = c.r, image.pixels[i * 3 + 1] = c.g, image.pixels[i * 3 + 2] = c.b;
    }
    std::vector<std::uint8_t> bytes;
    base::FileError failure;
    if (!base::EncodePng(image, 1, &bytes, &error) ||
        !base::WriteFile("/tmp/lunashot_bench_frame_rgb.png", bytes.data(), bytes.size(), &failure))
      state.SkipWithError("cannot write the RGB frame");
  }
}
BENCHMARK(BM_RecordFrame);
BENCHMARK(BM_RecordFrameRgb);

// Keeps each benchmark's CPU time per iteration (ns) for the summary: the
// least over repetitions, the one least disturbed by other work.
class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ns;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      double t = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
      std::string name = r.run_name.function_name;
      auto it = ns.find(name);
      if (it == ns.end() || t < it->second) ns[name] = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  auto per_pixel = [&](const char* name) {
    auto t = collector.ns.find(name);
    auto p = pixels_per_iteration.find(name);
    return t == collector.ns.end() || p == pixels_per_iteration.end() ? 0.0 : t->second / p->second;
  };
  auto line = [](const char* what, double value, const char* goal, bool met) {
    std::printf("%-52s %8.3f   goal %-8s %s\n", what, value, goal,
                value == 0 ? "(not run)"
                : met      ? "met"
                           : "MISSED");
  };
  double ours = per_pixel("BM_DrawSprite"), sdl = per_pixel("BM_SdlBlit");
  double left = per_pixel("BM_DrawSpriteLeftClipped"), top = per_pixel("BM_DrawSpriteTopClipped");
  std::printf(
      "\nns per visible pixel: DrawSprite %.3f, SDL %.3f; left-clipped %.3f (SDL %.3f); "
      "top-clipped %.3f (SDL %.3f)\n",
      ours, sdl, left, per_pixel("BM_SdlBlitLeftClipped"), top, per_pixel("BM_SdlBlitTopClipped"));
  double r;
  r = ours > 0 ? sdl / ours : 0;
  line("DrawSprite throughput / SDL RLE blit, unclipped", r, ">= 1.3", r >= 1.3);
  double right_halves = per_pixel("BM_DrawRightHalves"),
         bottom_halves = per_pixel("BM_DrawBottomHalves");
  std::printf("ns per visible pixel of the same halves drawn unclipped: right %.3f, bottom %.3f\n",
              right_halves, bottom_halves);
  r = right_halves > 0 ? left / right_halves : 0;
  line("left-clipped / unclipped, per visible pixel", r, "<= 1.1", r <= 1.1);
  r = bottom_halves > 0 ? top / bottom_halves : 0;
  line("top-clipped / unclipped, per visible pixel", r, "<= 1.1", r <= 1.1);
  const double varied = per_pixel("BM_DrawVaried"),
               varied_left = per_pixel("BM_DrawVariedLeftClipped"),
               varied_halves = per_pixel("BM_DrawVariedRightHalves");
  std::printf(
      "varied sprites, ns per visible pixel: unclipped %.3f, left-clipped %.3f, the same "
      "halves unclipped %.3f\n",
      varied, varied_left, varied_halves);
  r = varied_halves > 0 ? varied_left / varied_halves : 0;
  line("varied: left-clipped / unclipped, per visible pixel", r, "<= 1.1", r <= 1.1);
  r = ours > 0 ? per_pixel("BM_SdlBlitLeftClipped") / left : 0;
  line("left-clipped throughput / SDL left-clipped", r, "(info)", true);
  r = ours > 0 ? per_pixel("BM_SdlBlitTopClipped") / top : 0;
  line("top-clipped throughput / SDL top-clipped", r, "(info)", true);
  r = per_pixel("BM_DrawBlended");
  line("blended pixel, ns", r, "<= 1.5", r <= 1.5);
  r = collector.ns.count("BM_Memset") ? collector.ns["BM_FrameClear"] / collector.ns["BM_Memset"]
                                      : 0;
  line("frame step clear / memset of 76800 bytes", r, "<= 1.2", r <= 1.2);
  r = collector.ns.count("BM_Memcpy") ? collector.ns["BM_Present"] / collector.ns["BM_Memcpy"] : 0;
  line("Present / memcpy of 76800 bytes", r, "<= 1.2", r <= 1.2);
  if (collector.ns.count("BM_PresentHashed") && collector.ns.count("BM_Present")) {
    r = (collector.ns["BM_PresentHashed"] - collector.ns["BM_Present"]) / 1e6;
    line("--frame-hashes, ms a frame", r, "<= 0.25", r <= 0.25);
  }
  if (collector.ns.count("BM_Md5") && collector.ns.count("BM_Md5Lanes"))
    std::printf("MD5 of a frame's RGB bytes: %.3f ms alone (nettle), %.3f ms in a batch of 8 lanes\n",
                collector.ns["BM_Md5"] / 1e6, collector.ns["BM_Md5Lanes"] / 8e6);
  if (collector.ns.count("BM_RecordFrame") && collector.ns.count("BM_RecordFrameRgb")) {
    std::printf("recording: %.3f ms per frame (an RGB image: %.3f ms)\n",
                collector.ns["BM_RecordFrame"] / 1e6, collector.ns["BM_RecordFrameRgb"] / 1e6);
    r = collector.ns["BM_RecordFrameRgb"] / collector.ns["BM_RecordFrame"];
    line("recording speed-up over RGB frames", r, ">= 3", r >= 3);
  }
  benchmark::Shutdown();
  return 0;
}
