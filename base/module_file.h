// Tracker modules (MOD, XM, S3M, IT) played once through libxmp into mono
// samples, with the point where the module's own play would loop. Input is
// untrusted: only files whose bytes carry one of the four formats' marks
// reach libxmp, and the play is capped in length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace base {

// The rate the module is played at, before the resample to the mixer's.
constexpr int kModuleRate = 44100;

// "MOD", "XM", "S3M" or "IT" when the bytes carry that format's mark, else nullptr.
const char* ModuleKind(const std::uint8_t* data, std::size_t size);

struct ModulePlay {
  std::string type;            // libxmp's name of the format, "Protracker M.K." say
  int channels = 0;            // the module's tracks
  std::int64_t frames = 0;     // samples made, at kModuleRate
  std::int64_t loop_frame = 0; // where the module's play starts again once it ends
};

// Plays the module from its start to where it would loop, handing each block
// of mono samples (-1 to 1, at kModuleRate) to `sink`, which may stop the play
// by returning false (then the reason is the sink's to give). At most `max_frames` samples are made; a module that
// plays longer is refused before any is made when libxmp can tell its
// length, else when the cap is reached. False with a reason.
bool PlayModule(const std::uint8_t* data, std::size_t size, std::int64_t max_frames,
                const std::function<bool(const float*, std::size_t)>& sink, ModulePlay* play,
                std::string* error);

}  // namespace base
