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
#include "base/gif_file.h"
#include "base/png_file.h"
#include "base/md5.h"
#include "platform/platform.h"

namespace video {

namespace {

struct Recorder {
  bool on = false;
  std::string dir;
  unsigned frames = 0;
  std::FILE* hashes = nullptr;
  std::string hashes_path;
  unsigned hashed = 0;
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
  image.palette.assign(palette, palette + 256);
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

void ScaleFrame(const std::uint8_t* pixels, int scale, std::vector<std::uint8_t>* out) {
  const std::size_t width = static_cast<std::size_t>(platform::kScreenWidth) * scale;
  out->resize(width * platform::kScreenHeight * scale);
  std::uint8_t* row = out->data();
  for (int y = 0; y < platform::kScreenHeight; ++y, row += width * scale) {
    // One row widened, then copied below itself for the other scale - 1.
    std::uint8_t* d = row;
    for (int x = 0; x < platform::kScreenWidth; ++x, d += scale)
      std::memset(d, pixels[y * platform::kScreenWidth + x], static_cast<std::size_t>(scale));
    for (int copy = 1; copy < scale; ++copy) std::memcpy(row + copy * width, row, width);
  }
}

void StartRecording(const std::string& dir) {
  recorder.on = false;
  recorder.frames = 0;
  std::string error;
  if (dir.empty()) return;
  if (!MakeDirectories(dir, &error)) {
    StopWith(error);
    return;
  }
  recorder.on = true;
  recorder.dir = dir;
}

void StartFrameHashes(const std::string& path) {
  recorder.hashed = 0;
  recorder.hashes_path = path;
  recorder.hashes = std::fopen(path.c_str(), "w");
  if (!recorder.hashes)
    std::fprintf(stderr, "lunashot: cannot write frame hashes to %s: %s\n", path.c_str(),
                 std::strerror(errno));
}

void StopRecording() {
  recorder.on = false;
  if (recorder.hashes) std::fclose(recorder.hashes);
  recorder.hashes = nullptr;
}

bool Recording() { return recorder.on || recorder.hashes; }

namespace {

void HashFrame(const std::uint8_t* pixels) {
  // One buffer for the run: hashing every frame allocates nothing.
  static std::vector<std::uint8_t> rgb(static_cast<std::size_t>(platform::kFrameBytes) * 3);
  for (int i = 0; i < platform::kFrameBytes; ++i) {
    const Color& c = ShownPalette[pixels[i]];
    rgb[3 * i] = c.r;
    rgb[3 * i + 1] = c.g;
    rgb[3 * i + 2] = c.b;
  }
  // Flushed per frame: a run that ends by exit() still leaves every line.
  // A failed write (a full disk) ends the file, said once, rather than
  // leaving it silently short of frames.
  if (std::fprintf(recorder.hashes, "%06u %s\n", ++recorder.hashed,
                   base::Md5Hex(rgb.data(), rgb.size()).c_str()) < 0 ||
      std::fflush(recorder.hashes) != 0) {
    std::fprintf(stderr, "lunashot: frame hashes stopped: cannot write %s: %s\n",
                 recorder.hashes_path.c_str(), std::strerror(errno));
    std::fclose(recorder.hashes);
    recorder.hashes = nullptr;
  }
}

}  // namespace

namespace {

constexpr int kGifDelay = 2;
constexpr std::size_t kMaxGifBytes = std::size_t{256} << 20;

struct GifRecorder {
  bool on = false;
  std::string path;
  int scale = 1;
  std::vector<std::uint8_t> scaled;  // a frame's pixels at the scale
  base::GifWriter writer;
};
GifRecorder gif;

}  // namespace

void StartGif(const std::string& path, int scale) {
  std::string error;
  gif.on = false;
  gif.scale = scale < 1 ? 1 : scale > kMaxGifScale ? kMaxGifScale : scale;
  if (!gif.writer.Begin(platform::kScreenWidth * gif.scale, platform::kScreenHeight * gif.scale,
                        &error)) {
    std::fprintf(stderr, "lunashot: GIF recording failed: %s\n", error.c_str());
    return;
  }
  gif.on = true;
  gif.path = path;
}

bool GifRecording() { return gif.on; }

bool StopGif(std::string* error) {
  if (!gif.on) {
    *error = "no GIF recording";
    return false;
  }
  gif.on = false;
  std::vector<std::uint8_t> bytes;
  if (!gif.writer.Finish(&bytes, error)) return false;
  base::FileError failure;
  if (!base::WriteFileAtomic(gif.path, bytes, &failure)) {
    *error = "cannot write " + gif.path + ": " + failure.Text();
    return false;
  }
  return true;
}

void RecordGifFrame(const std::uint8_t* pixels) {
  if (!gif.on) return;
  if (gif.scale > 1) {
    ScaleFrame(pixels, gif.scale, &gif.scaled);
    pixels = gif.scaled.data();
  }
  std::string error;
  if (!gif.writer.AddFrame(pixels, ShownPalette, kGifDelay, &error)) {
    gif.on = false;
    std::fprintf(stderr, "lunashot: GIF recording stopped: %s\n", error.c_str());
    return;
  }
  // At the cap the file is written as at StopGif; said either way, since a
  // recording that ends by itself is otherwise a surprise at the next F9.
  if (gif.writer.Size() < kMaxGifBytes) return;
  if (StopGif(&error))
    std::fprintf(stderr, "lunashot: GIF recording stopped at %zu MiB: wrote %s\n",
                 kMaxGifBytes >> 20, gif.path.c_str());
  else
    std::fprintf(stderr, "lunashot: GIF recording stopped: %s\n", error.c_str());
}

void RecordFrame(const std::uint8_t* pixels) {
  if (recorder.hashes) HashFrame(pixels);
  if (!recorder.on) return;
  char name[32];
  std::snprintf(name, sizeof name, "/%06u.png", ++recorder.frames);
  std::string error;
  if (!WritePng((recorder.dir + name).c_str(), pixels, platform::kScreenWidth,
                platform::kScreenHeight, ShownPalette, &error))
    StopWith(error);
}

}  // namespace video
