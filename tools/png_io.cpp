// File reads and writes for lunashot-pack, and the "lsIX" index chunk:
// width and height (big-endian 32-bit), then the zlib-compressed indices.
#include "tools/png_io.h"

#include <zlib.h>

#include "base/file.h"

namespace tools {
namespace {

constexpr char kIndexChunk[] = "lsIX";

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// A chunk that does not fit the image is ignored.
void ReadIndexChunk(Image* image) {
  for (const base::PngImage::Chunk& chunk : image->chunks) {
    if (chunk.data.size() < 8 || BigEndian32(chunk.data.data()) != std::uint32_t(image->width) ||
        BigEndian32(chunk.data.data() + 4) != std::uint32_t(image->height))
      continue;
    image->index_plane.resize(std::size_t(image->width) * image->height);
    uLongf length = image->index_plane.size();
    if (uncompress(image->index_plane.data(), &length, chunk.data.data() + 8,
                   chunk.data.size() - 8) != Z_OK ||
        length != image->index_plane.size())
      image->index_plane.clear();
    return;
  }
}

}  // namespace

bool ReadInput(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>* bytes,
               std::string* error) {
  base::FileError failure;
  if (base::ReadFile(path, max_bytes, bytes, &failure)) return true;
  *error = path + ": " + failure.Text();
  return false;
}

bool WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::string* error) {
  base::FileError failure;
  if (base::WriteFileAtomic(path, bytes, &failure)) return true;
  *error = path + ": " + failure.Text();
  return false;
}

bool DecodePng(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error) {
  *image = Image();
  if (!base::DecodePng(bytes.data(), bytes.size(), kIndexChunk, image, error)) {
    *error = name + ": " + *error;
    return false;
  }
  if (image->format == Image::Format::kRgba) ReadIndexChunk(image);
  image->chunks.clear();
  return true;
}

bool ReadPng(const std::string& path, Image* image, std::string* error) {
  std::vector<std::uint8_t> bytes;
  return ReadInput(path, kMaxInputBytes, &bytes, error) && DecodePng(bytes, path, image, error);
}

bool WritePng(const std::string& path, Image image, std::string* error) {
  if (image.format != Image::Format::kIndexed && !image.index_plane.empty()) {
    uLongf length = compressBound(image.index_plane.size());
    std::vector<std::uint8_t> data(8 + length);
    for (int i = 0; i < 4; ++i) {
      data[i] = std::uint8_t(std::uint32_t(image.width) >> (24 - 8 * i));
      data[4 + i] = std::uint8_t(std::uint32_t(image.height) >> (24 - 8 * i));
    }
    if (compress2(data.data() + 8, &length, image.index_plane.data(), image.index_plane.size(),
                  9) != Z_OK) {
      *error = path + ": cannot compress the index plane";
      return false;
    }
    data.resize(8 + length);
    image.chunks.push_back({kIndexChunk, std::move(data)});
  }
  std::vector<std::uint8_t> bytes;
  if (!base::EncodePng(image, -1, &bytes, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return WriteOutput(path, bytes, error);
}

}  // namespace tools
