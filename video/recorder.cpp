// PNG frames through base/png_file. The PNG carries no time or text chunks,
// so the same frames always give the same files (golden tests compare their
// hashes).
#include "video/recorder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/gif_file.h"
#include "base/log.h"
#include "base/png_file.h"
#include "base/md5.h"
#include "platform/platform.h"

namespace video {

namespace {

// Frames hashed together (one to a SIMD lane, base::Md5Lanes): a batch
// costs about what one frame hashed alone costs.
constexpr int kHashBatch = 8;
constexpr std::size_t kRgbFrameBytes = static_cast<std::size_t>(platform::kFrameBytes) * 3;

struct Recorder {
  bool on = false;
  std::string dir;
  unsigned frames = 0;
  std::FILE* hashes = nullptr;
  std::string hashes_path;
  unsigned hashed = 0;  // frames whose lines are written
  // The RGB bytes of the frames presented since the last batch was written,
  // one slot a frame; a byte of slack after the last (see HashFrame).
  std::vector<std::uint8_t> slots;
  int pending = 0;
};
Recorder recorder;

void StopWith(const std::string& message) {
  base::OutputFailed("frame recording stopped: " + message);
  recorder.on = false;
}

// `dir` itself is made when missing, never its parents: a mistyped path
// fails rather than leaving a tree of folders somewhere.
bool MakeDirectory(const std::string& dir, std::string* error) {
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    *error = "cannot create " + dir + ": " + std::strerror(errno);
    return false;
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
  if (!MakeDirectory(dir, &error)) {
    StopWith(error);
    return;
  }
  recorder.on = true;
  recorder.dir = dir;
}

namespace {

// Hashes the pending frames and writes their lines, with one write and a
// flush. A failed write (a full disk) ends the file, said once, rather than
// leaving it silently short of frames.
void WriteHashes() {
  if (!recorder.hashes || recorder.pending == 0) return;
  const std::uint8_t* frames[kHashBatch];
  for (int i = 0; i < recorder.pending; ++i) frames[i] = &recorder.slots[kRgbFrameBytes * i];
  std::uint8_t sums[kHashBatch][base::kMd5Size];
  base::Md5Lanes(frames, recorder.pending, kRgbFrameBytes, sums);
  char text[kHashBatch * 48];
  int size = 0;
  for (int i = 0; i < recorder.pending; ++i) {
    size += std::snprintf(text + size, sizeof text - size, "%06u ", ++recorder.hashed);
    base::Md5Digits(sums[i], text + size);
    size += 2 * base::kMd5Size;
    text[size++] = '\n';
  }
  recorder.pending = 0;
  if (std::fwrite(text, 1, size, recorder.hashes) != static_cast<std::size_t>(size) ||
      std::fflush(recorder.hashes) != 0) {
    base::OutputFailed("frame hashes stopped: cannot write " + recorder.hashes_path + ": " +
                       std::strerror(errno));
    std::fclose(recorder.hashes);
    recorder.hashes = nullptr;
  }
}

}  // namespace

void StartFrameHashes(const std::string& path) {
  recorder.hashed = 0;
  recorder.pending = 0;
  recorder.hashes_path = path;
  recorder.hashes = std::fopen(path.c_str(), "w");
  if (!recorder.hashes) {
    base::OutputFailed("cannot write frame hashes to " + path + ": " + std::strerror(errno));
    return;
  }
  // Every slot made now: hashing a frame allocates nothing.
  recorder.slots.resize(kRgbFrameBytes * kHashBatch + 1);
  // A run that ends by exit() or quick_exit() (a window closed a second
  // time) without StopRecording still leaves the lines of every frame it
  // presented.
  static bool at_exit = false;
  if (!at_exit) {
    at_exit = true;
    std::atexit(WriteHashes);
#ifndef __EMSCRIPTEN__  // its C library has no quick_exit, nor a window to close
    std::at_quick_exit(WriteHashes);
#endif
  }
}

void StopRecording() {
  recorder.on = false;
  WriteHashes();
  if (recorder.hashes && std::fclose(recorder.hashes) != 0)
    base::OutputFailed("frame hashes: cannot write " + recorder.hashes_path + ": " +
                       std::strerror(errno));
  recorder.hashes = nullptr;
}

bool Recording() { return recorder.on || recorder.hashes; }

namespace {

// The frame through the palette shown with it into the next slot; a full
// set of slots is hashed and written.
void HashFrame(const std::uint8_t* pixels) {
  std::uint8_t colours[256][4];
  for (int c = 0; c < 256; ++c)
    colours[c][0] = ShownPalette[c].r, colours[c][1] = ShownPalette[c].g,
    colours[c][2] = ShownPalette[c].b, colours[c][3] = 0;
  // Each pixel is stored as four bytes, the fourth overwritten by the next
  // pixel (the last one's by the next slot, or the byte of slack).
  std::uint8_t* out = &recorder.slots[kRgbFrameBytes * recorder.pending];
  for (int i = 0; i < platform::kFrameBytes; ++i, out += 3) std::memcpy(out, colours[pixels[i]], 4);
  if (++recorder.pending == kHashBatch) WriteHashes();
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

namespace {

// What would keep the file from being written at the end, found at the
// start rather than after the whole run: its folder missing or closed to
// us, or a folder in its place.
bool CheckGifPath(const std::string& path, std::string* error) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  struct stat st;
  int err = 0;
  if (stat(dir.c_str(), &st) != 0 || access(dir.c_str(), W_OK | X_OK) != 0)
    err = errno;
  else if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    err = EISDIR;
  if (err) *error = "cannot write " + path + ": " + std::strerror(err);
  return err == 0;
}

}  // namespace

void StartGif(const std::string& path, int scale) {
  std::string error;
  gif.on = false;
  gif.scale = scale < 1 ? 1 : scale > kMaxGifScale ? kMaxGifScale : scale;
  if (!CheckGifPath(path, &error) ||
      !gif.writer.Begin(platform::kScreenWidth * gif.scale, platform::kScreenHeight * gif.scale,
                        &error)) {
    base::OutputFailed("GIF recording failed: " + error);
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
    *error = "cannot write " + gif.path + ": " + failure.reason;
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
    base::OutputFailed("GIF recording stopped: " + error);
    return;
  }
  // At the cap the file is written as at StopGif. It lacks the frames that
  // follow, so it counts as a failed output either way.
  if (gif.writer.Size() < kMaxGifBytes) return;
  if (StopGif(&error))
    base::OutputFailed("GIF recording stopped at " + std::to_string(kMaxGifBytes >> 20) +
                       " MiB: wrote " + gif.path);
  else
    base::OutputFailed("GIF recording stopped: " + error);
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
