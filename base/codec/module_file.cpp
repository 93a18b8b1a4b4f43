// Module playing over libxmp (made for playing untrusted modules of many
// formats, fuzzed upstream). The loop point: libxmp counts a loop when its
// play comes back to a row it has played (the restart position, or a jump
// back); the row it comes back to is looked up among the rows played once,
// each remembered at the sample where it first began.
#include "base/module_file.h"

#include <xmp.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace base {

namespace {

struct ContextDeleter {
  void operator()(char* c) const { xmp_free_context(c); }
};

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

}  // namespace

bool PlayModule(const std::uint8_t* data, std::size_t size, std::int64_t max_frames,
                const std::function<bool(const float*, std::size_t)>& sink, ModulePlay* play,
                std::string* error) {
  *play = ModulePlay();
  const char* kind = ModuleKind(data, size);
  if (!kind) return Fail(error, "not a tracker module (MOD, XM, S3M or IT)");
  std::unique_ptr<char, ContextDeleter> context(xmp_create_context());
  if (!context) return Fail(error, "out of memory");
  xmp_context c = context.get();
  // Loaded from memory, libxmp never unpacks archives: only the module's own loader runs.
  if (xmp_load_module_from_memory(c, data, long(size)) != 0)
    return Fail(error, std::string("a damaged or unsupported ") + kind + " module");
  xmp_module_info info;
  xmp_get_module_info(c, &info);
  play->type = info.mod->type;
  play->channels = info.mod->chn;
  const std::int64_t seconds = info.num_sequences > 0 ? info.seq_data[0].duration / 1000 : 0;
  if (seconds * kModuleRate > max_frames) {
    xmp_release_module(c);
    return Fail(error, "it plays for " + std::to_string(seconds) + " seconds, longer than " +
                           std::to_string(max_frames / kModuleRate));
  }
  if (xmp_start_player(c, kModuleRate, XMP_FORMAT_MONO) != 0) {
    xmp_release_module(c);
    return Fail(error, "the module cannot be played");
  }
  xmp_set_player(c, XMP_PLAYER_INTERP, XMP_INTERP_SPLINE);
  std::map<std::int64_t, std::int64_t> rows;  // (position, row) -> the sample where it began
  std::vector<float> block;
  bool ok = true;
  xmp_frame_info frame;
  while (ok && xmp_play_frame(c) == 0) {
    xmp_get_frame_info(c, &frame);
    const std::int64_t row = std::int64_t(frame.pos) << 32 | std::uint32_t(frame.row);
    if (frame.loop_count > 0) {
      auto found = rows.find(row);
      play->loop_frame = found == rows.end() ? 0 : found->second;
      break;
    }
    if (frame.frame == 0) rows.emplace(row, play->frames);
    const std::size_t n = std::size_t(frame.buffer_size) / sizeof(std::int16_t);
    if (play->frames + std::int64_t(n) > max_frames) {
      ok = Fail(error, "it plays for longer than " + std::to_string(max_frames / kModuleRate) +
                           " seconds");
      break;
    }
    const std::int16_t* pcm = static_cast<const std::int16_t*>(frame.buffer);
    block.resize(n);
    for (std::size_t i = 0; i < n; ++i) block[i] = float(pcm[i]) * (1.0f / 32768.0f);
    play->frames += std::int64_t(n);
    ok = sink(block.data(), n);  // the sink says why it stopped
  }
  xmp_end_player(c);
  xmp_release_module(c);
  if (ok && play->frames == 0) return Fail(error, "the module plays no sound");
  return ok;
}

}  // namespace base
