// PNG frames through libpng. The PNG carries no time or text chunks, so the
// same frames always give the same files (golden tests compare their hashes).
#include "video/recorder.h"

#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef __EMSCRIPTEN__
#include <png.h>
#endif

#include "base/md5.h"
#include "platform/platform.h"

namespace video {

namespace {

struct Recorder {
  bool on = false;
  std::string dir;
  unsigned frames = 0;
  std::FILE* hashes = nullptr;
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

#ifndef __EMSCRIPTEN__
void PngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = message;
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}
#endif

}  // namespace

#ifdef __EMSCRIPTEN__
// The browser build has no libpng: frames are not recorded there.
bool WritePng(const char*, const std::uint8_t*, int, int, const Color*, std::string* error) {
  *error = "frames cannot be written as PNG in the browser";
  return false;
}
#else
bool WritePng(const char* path, const std::uint8_t* pixels, int width, int height,
              const Color* palette, std::string* error) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) {
    *error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    if (png) png_destroy_write_struct(&png, nullptr);
    std::fclose(f);
    *error = "out of memory for the PNG writer";
    return false;
  }
  // Declared before setjmp so that a longjmp leaves them in a known state.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  volatile bool ok = false;
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = pixels + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < width; ++x) {
        const Color& c = palette[src[x]];
        row[3 * x] = c.r;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.b;
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  } else {
    *error = std::string(path) + ": " + *error;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(f) != 0 && ok) {
    *error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    ok = false;
  }
  return ok;
}

#endif

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
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(platform::kFrameBytes) * 3);
  for (int i = 0; i < platform::kFrameBytes; ++i) {
    const Color& c = ShownPalette[pixels[i]];
    rgb[3 * i] = c.r;
    rgb[3 * i + 1] = c.g;
    rgb[3 * i + 2] = c.b;
  }
  // Flushed per frame: a run that ends by exit() still leaves every line.
  std::fprintf(recorder.hashes, "%06u %s\n", ++recorder.hashed,
               base::Md5Hex(rgb.data(), rgb.size()).c_str());
  std::fflush(recorder.hashes);
}

}  // namespace

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
