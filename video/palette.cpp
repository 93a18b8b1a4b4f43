// pal.pal, the working palette and its fades, and the upload to the display.
#include "video/palette.h"

#include <cstring>

#include "base/file.h"
#include "base/pal_file.h"
#include "platform/platform.h"

namespace video {

Color WorkPalette[256];
Color BasePalette[256];
Color ShownPalette[256];
std::uint8_t BlendTable[65536 * 3];

namespace {

void InstallColours(const std::uint8_t* bytes) {
  for (int c = 0; c < 256; ++c) {
    BasePalette[c] = {bytes[c * 3], bytes[c * 3 + 1], bytes[c * 3 + 2]};
    WorkPalette[c] = {0, 0, 0};
  }
}

}  // namespace

bool ReadPalette(const std::uint8_t* bytes, std::size_t length, std::string* error) {
  if (!base::CheckPalFile(length, error)) return false;
  InstallColours(bytes);
  std::memcpy(BlendTable, bytes + 768, sizeof BlendTable);
  return true;
}

// The blend table is read straight into its place: a buffer between would
// cost every start another 192 KB of fresh memory. A file too short fails
// the start, which ends the run, so what it left in the table is never used.
bool LoadPalette(const char* path, std::string* error) {
  std::uint8_t colours[768];
  const iovec parts[] = {{colours, sizeof colours}, {BlendTable, sizeof BlendTable}};
  std::size_t got = 0;
  base::FileError failure;
  if (!base::ReadFileInto(path, parts, 2, &got, &failure)) {
    *error = std::string(failure.step) + " " + path + ": " + failure.reason;
    return false;
  }
  if (!base::CheckPalFile(got, error)) {
    *error = std::string(path) + ": " + *error;
    return false;
  }
  InstallColours(colours);
  return true;
}

void AdjustPalette() {
  std::memcpy(ShownPalette, WorkPalette, sizeof ShownPalette);
  platform::Rgb colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = {WorkPalette[i].r, WorkPalette[i].g, WorkPalette[i].b};
  platform::backends.display->SetPalette(colours);
}

void ResetPalette() { std::memcpy(WorkPalette, BasePalette, sizeof WorkPalette); }

void SetPalette(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  for (Color& c : WorkPalette) c = {red, green, blue};
}

namespace {

// n single steps toward the target, done at once: each component moves by
// min(n, distance) and so never overshoots.
std::uint8_t Toward(std::uint8_t v, std::uint8_t target, int n) {
  if (v > target) return static_cast<std::uint8_t>(v - n >= target ? v - n : target);
  return static_cast<std::uint8_t>(v + n <= target ? v + n : target);
}

void FadeTo(const Color* targets, int step_target, std::uint8_t steps) {
  if (steps == 0) return;
  for (int i = 0; i < 256; ++i) {
    Color& c = WorkPalette[i];
    Color t = targets ? targets[i]
                      : Color{static_cast<std::uint8_t>(step_target),
                              static_cast<std::uint8_t>(step_target),
                              static_cast<std::uint8_t>(step_target)};
    c = {Toward(c.r, t.r, steps), Toward(c.g, t.g, steps), Toward(c.b, t.b, steps)};
  }
}

}  // namespace

void FadeIn(std::uint8_t steps) { FadeTo(BasePalette, 0, steps); }
void FadeOutBlack(std::uint8_t steps) { FadeTo(nullptr, 0, steps); }
void FadeOutWhite(std::uint8_t steps) { FadeTo(nullptr, 255, steps); }

int SetGamma(float red, float green, float blue) {
  return platform::backends.display->SetGamma(red, green, blue);
}

}  // namespace video
