// The picture reader. stb_image (Debian's libstb-dev, a header) is compiled
// here alone, private to this file, for JPEG, BMP, TGA and GIF only. Before a
// picture is decoded its size is read from the header and held to the PNG
// limits, so a small file never asks for much memory. GIF frames are taken
// one by one by this file's own loop over stb's frame decoder: stb's loop
// (stbi__load_gif_main) points its "frame before last" before its buffer and
// caps nothing.
#include "tools/picture.h"

#include <algorithm>
#include <cstring>

#include "base/file.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 65535
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace tools {
namespace {

bool Starts(const std::uint8_t* bytes, std::size_t size, const char* magic, std::size_t at = 0) {
  std::size_t n = std::strlen(magic);
  return size >= at + n && std::memcmp(bytes + at, magic, n) == 0;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The sizes the engine's PNG reader takes, for every format.
bool CheckSize(long w, long h, std::string* error) {
  if (w <= base::kMaxPngSide && h <= base::kMaxPngSide && w * h <= base::kMaxPngPixels)
    return true;
  *error = "too large: " + std::to_string(w) + " x " + std::to_string(h) + " pixels, the limit is " +
           std::to_string(base::kMaxPngSide) + " pixels a side and " +
           std::to_string(base::kMaxPngPixels) + " pixels in all";
  return false;
}

// stb_image builds a JPEG Huffman table from the 16 code counts of a DHT
// segment without checking that they add up to at most 256, and writes past
// the table when they do not. Every DHT segment is read here first, as stb
// will read it (past the file's end as zeros), and such a file is refused.
// Markers are followed segment by segment, and through entropy-coded data to
// the next marker, so the tables between the scans of a progressive file are
// checked too.
bool JpegTablesFit(const std::uint8_t* d, std::size_t n) {
  auto at = [&](std::size_t i) -> std::size_t { return i < n ? d[i] : 0; };
  std::size_t i = 2;  // past SOI
  while (i + 1 < n) {
    const std::size_t m = d[i + 1];
    if (d[i] != 0xFF || m == 0xFF || m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD9)) {
      ++i;  // entropy-coded data, fill, stuffing, restarts: on to the next marker
      continue;
    }
    const std::size_t length = at(i + 2) << 8 | at(i + 3);
    if (m == 0xC4) {
      long left = long(length) - 2;
      for (std::size_t t = i + 4; left > 0;) {
        std::size_t codes = 0;
        for (std::size_t k = 1; k <= 16; ++k) codes += at(t + k);
        if (codes > 256) return false;
        t += 17 + codes;
        left -= long(17 + codes);
      }
    }
    i += 2 + std::max<std::size_t>(length, 2);
  }
  return true;
}

std::string Damaged(const char* format) {
  const char* why = stbi_failure_reason();
  return std::string("a damaged or unsupported ") + format + " picture" +
         (why && *why ? std::string(" (") + why + ")" : "");
}

Image RgbaImage(int w, int h, const stbi_uc* rgba) {
  Image image;
  image.format = Image::Format::kRgba;
  image.width = w, image.height = h;
  image.pixels.assign(rgba, rgba + std::size_t(w) * h * 4);
  return image;
}

// A GIF's frames, each as the screen shows it after that frame; the first
// only when `first_only`. Frames after a damaged one are dropped, as viewers do.
bool DecodeGif(const std::vector<std::uint8_t>& bytes, bool first_only, std::vector<Image>* frames,
               std::string* error) {
  stbi__context s;
  stbi__start_mem(&s, bytes.data(), int(bytes.size()));
  stbi__gif g;
  std::memset(&g, 0, sizeof g);
  long total = 0;
  bool ok = true;
  for (;;) {
    const stbi_uc* two_back = frames->size() >= 2 ? (*frames)[frames->size() - 2].pixels.data() : nullptr;
    int comp = 0;
    stbi_uc* u = stbi__gif_load_next(&s, &g, &comp, 4, const_cast<stbi_uc*>(two_back));
    if (u == reinterpret_cast<stbi_uc*>(&s)) break;  // the trailer
    if (!u) {
      if (frames->empty()) ok = (*error = Damaged("GIF"), false);
      break;
    }
    total += long(g.w) * g.h;
    if (total > base::kMaxPngPixels) {
      *error = "its frames hold more than " + std::to_string(base::kMaxPngPixels) +
               " pixels in all (" + std::to_string(frames->size()) + " frames of " +
               std::to_string(g.w) + " x " + std::to_string(g.h) + ")";
      ok = false;
      break;
    }
    frames->push_back(RgbaImage(g.w, g.h, u));
    if (first_only) break;
  }
  // A file that ends before its first frame (a trailer at once) holds no picture.
  if (ok && frames->empty()) ok = (*error = "a GIF picture that holds no frame", false);
  STBI_FREE(g.out);
  STBI_FREE(g.history);
  STBI_FREE(g.background);
  if (!ok) frames->clear();
  return ok;
}

bool Decode(const std::vector<std::uint8_t>& bytes, const std::string& name, bool first_only,
            std::vector<Image>* frames, std::string* error) {
  frames->clear();
  const char* format = PictureFormat(bytes.data(), bytes.size());
  auto fail = [&](const std::string& why) {
    frames->clear();
    *error = name + ": " + why;
    return false;
  };
  if (!format) return fail("not a picture lunashot-pack reads (PNG, JPEG, BMP, TGA or GIF)");
  if (std::strcmp(format, "PCX") == 0)
    return fail("a PCX picture, which lunashot-pack does not read; save it as PNG");
  if (std::strcmp(format, "PNG") == 0) {
    frames->emplace_back();
    return DecodePng(bytes, name, &frames->back(), error) || fail(error->substr(name.size() + 2));
  }
  if (bytes.size() > std::size_t(INT32_MAX)) return fail("too large a file");
  if (std::strcmp(format, "JPEG") == 0 && !JpegTablesFit(bytes.data(), bytes.size()))
    return fail("a damaged JPEG picture (a Huffman table of more than 256 codes)");
  int w = 0, h = 0, comp = 0;
  if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &comp))
    return fail(Damaged(format));
  std::string why;
  if (!CheckSize(w, h, &why)) return fail(why);
  if (std::strcmp(format, "GIF") == 0)
    return DecodeGif(bytes, first_only, frames, &why) || fail(why);
  stbi_uc* rgba = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &comp, 4);
  if (!rgba) return fail(Damaged(format));
  frames->push_back(RgbaImage(w, h, rgba));
  stbi_image_free(rgba);
  return true;
}

}  // namespace

const char* MarkedPictureFormat(const std::uint8_t* bytes, std::size_t size) {
  if (Starts(bytes, size, "\x89PNG\r\n\x1a\n")) return "PNG";
  if (Starts(bytes, size, "\xff\xd8\xff")) return "JPEG";
  if (Starts(bytes, size, "GIF87a") || Starts(bytes, size, "GIF89a")) return "GIF";
  // "BM" alone is too weak a mark: the header that follows has one of five sizes.
  if (Starts(bytes, size, "BM") && size >= 18) {
    std::uint32_t header = Le32(bytes + 14);
    if (header == 12 || header == 40 || header == 56 || header == 108 || header == 124)
      return "BMP";
  }
  // ZSoft's mark, version, run-length coding, bits a pixel, the reserved
  // byte and the colour planes.
  if (size >= 128 && bytes[0] == 0x0a && bytes[1] <= 5 && bytes[1] != 1 && bytes[2] == 1 &&
      (bytes[3] == 1 || bytes[3] == 2 || bytes[3] == 4 || bytes[3] == 8) && bytes[64] == 0 &&
      (bytes[65] == 1 || bytes[65] == 3 || bytes[65] == 4))
    return "PCX";
  return nullptr;
}

const char* PictureFormat(const std::uint8_t* bytes, std::size_t size) {
  if (const char* format = MarkedPictureFormat(bytes, size)) return format;
  if (size < 18 || size > std::size_t(INT32_MAX)) return nullptr;
  stbi__context s;
  stbi__start_mem(&s, bytes, int(size));
  return stbi__tga_test(&s) ? "TGA" : nullptr;
}

bool DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
                   std::string* error) {
  std::vector<Image> frames;
  if (!Decode(bytes, name, true, &frames, error)) return false;
  *image = std::move(frames[0]);
  return true;
}

bool DecodeFrames(const std::vector<std::uint8_t>& bytes, const std::string& name,
                  std::vector<Image>* frames, std::string* error) {
  return Decode(bytes, name, false, frames, error);
}

bool ReadPicture(const std::string& path, Image* image, std::string* error) {
  std::vector<std::uint8_t> bytes;
  return ReadInput(path, kMaxInputBytes, &bytes, error) && DecodePicture(bytes, path, image, error);
}

bool ReadFrames(const std::string& path, std::vector<Image>* frames, std::string* error) {
  std::vector<std::uint8_t> bytes;
  return ReadInput(path, kMaxInputBytes, &bytes, error) && DecodeFrames(bytes, path, frames, error);
}

bool IsPictureFile(const std::string& path) {
  std::vector<std::uint8_t> head;
  base::FileError failure;
  return base::ReadFile(path, 4096, &head, &failure, true) &&
         PictureFormat(head.data(), head.size()) != nullptr;
}

}  // namespace tools
