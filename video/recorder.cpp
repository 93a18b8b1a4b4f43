// PNG frames through base/png_file. The PNG carries no time or text chunks,
// so the same frames always give the same files (golden tests compare their
// hashes).
#include "video/recorder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file.h"
#include "base/png_file.h"
#include "platform/platform.h"

namespace video {

namespace {

struct Recorder {
  bool on = false;
  std::string dir;
  unsigned frames = 0;
};
Recorder recorder;

void StopWith(const std::string& message) {
  std::fprintf(stderr, "lunashot: frame recording stopped: %s\n", message.c_str());
  recorder.on = false;
}

// mkdir -p: every missing component of `dir` in turn.
bool MakeDirectories(const std::string& dir, std::string* error) {
  for (std::size_t at = 1; at <= dir.size(); ++at) {
    if (at != dir.size() && dir[at] != '/') continue;
    std::string part = dir.substr(0, at);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      *error = "cannot create " + part + ": " + std::strerror(errno);
      return false;
    }
  }
  struct stat st;
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = dir + " is not a directory";
    return false;
  }
  return true;
}

}  // namespace

// A palette image (the 256 colours last sent, the frame's own indices) at
// compression level 1: a third of the work of an RGB image and half the
// bytes, with the same pixels.
bool WritePng(const char* path, const std::uint8_t* pixels, int width, int height,
              const Color* palette, std::string* error) {
  base::PngImage image;
  image.format = base::PngImage::Format::kIndexed;
  image.width = width;
  image.height = height;
  image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  image.palette.resize(256);
  for (int i = 0; i < 256; ++i) image.palette[i] = {palette[i].r, palette[i].g, palette[i].b};
  std::vector<std::uint8_t> bytes;
  if (!base::EncodePng(image, 1, &bytes, error)) {
    *error = std::string(path) + ": " + *error;
    return false;
  }
  base::FileError failure;
  if (!base::WriteFile(path, bytes.data(), bytes.size(), &failure)) {
    *error = std::string("cannot write ") + path + ": " + failure.reason;
    return false;
  }
  return true;
}

void StartRecording(const std::string& dir) {
  recorder = Recorder{};
  std::string error;
  if (dir.empty()) return;
  if (!MakeDirectories(dir, &error)) {
    StopWith(error);
    return;
  }
  recorder.on = true;
  recorder.dir = dir;
}

void StopRecording() { recorder.on = false; }

bool Recording() { return recorder.on; }

void RecordFrame(const std::uint8_t* pixels) {
  if (!recorder.on) return;
  char name[32];
  std::snprintf(name, sizeof name, "/%06u.png", ++recorder.frames);
  std::string error;
  if (!WritePng((recorder.dir + name).c_str(), pixels, platform::kScreenWidth,
                platform::kScreenHeight, ShownPalette, &error))
    StopWith(error);
}

}  // namespace video
