// PNG decoding and encoding through libpng. libpng reports errors by
// longjmp, so each setjmp frame below only touches objects owned by its
// caller (reached through pointers), never locals with destructors.
#include "tools/png_io.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>
#include <zlib.h>

#include "tools/file_io.h"

namespace tools {
namespace {

constexpr png_byte kIndexChunk[5] = {'l', 's', 'I', 'X', '\0'};

struct PngState {
  const std::vector<std::uint8_t>* input = nullptr;
  std::size_t offset = 0;
  std::vector<std::uint8_t>* output = nullptr;
  char message[256] = {0};
};

void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  if (state->input->size() - state->offset < length) png_error(png, "file is truncated");
  std::memcpy(out, state->input->data() + state->offset, length);
  state->offset += length;
}

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  state->output->insert(state->output->end(), data, data + length);
}

void Flush(png_structp) {}

std::uint32_t BigEndian32(const png_byte* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Unpacks the "lsIX" chunk: width and height (big-endian 32-bit), then the
// zlib-compressed index plane. A chunk that does not fit the image is ignored.
void ReadIndexChunk(png_structp png, png_infop info, Image* image) {
  png_unknown_chunkp chunks = nullptr;
  int count = png_get_unknown_chunks(png, info, &chunks);
  for (int i = 0; i < count; ++i) {
    if (std::memcmp(chunks[i].name, kIndexChunk, 4) != 0 || chunks[i].size < 8) continue;
    if (BigEndian32(chunks[i].data) != std::uint32_t(image->width) ||
        BigEndian32(chunks[i].data + 4) != std::uint32_t(image->height))
      continue;
    image->index_plane.resize(std::size_t(image->width) * image->height);
    uLongf length = image->index_plane.size();
    if (uncompress(image->index_plane.data(), &length, chunks[i].data + 8, chunks[i].size - 8) != Z_OK ||
        length != image->index_plane.size())
      image->index_plane.clear();
    return;
  }
}

// Returns false with state->message set; image fields are written through
// the pointer only.
bool DecodeInto(png_structp png, png_infop info, PngState* state, Image* image,
                std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, state, ReadBytes);
  png_set_user_limits(png, 65535, 65535);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, kIndexChunk, 1);
  png_read_info(png, info);

  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (long(width) * long(height) > kMaxPixels) {
    std::snprintf(state->message, sizeof state->message, "image of %ux%u pixels is too large",
                  unsigned(width), unsigned(height));
    return false;
  }
  int colour_type = png_get_color_type(png, info);
  image->width = int(width);
  image->height = int(height);
  int channels;
  if (colour_type == PNG_COLOR_TYPE_PALETTE) {
    image->format = Image::Format::kIndexed;
    png_set_packing(png);
    png_colorp plte = nullptr;
    int entries = 0;
    png_get_PLTE(png, info, &plte, &entries);
    image->palette.resize(std::size_t(entries));
    for (int i = 0; i < entries; ++i) image->palette[i] = {plte[i].red, plte[i].green, plte[i].blue};
    image->palette_alpha.assign(std::size_t(entries), 255);
    png_bytep alpha = nullptr;
    int alpha_count = 0;
    if (png_get_tRNS(png, info, &alpha, &alpha_count, nullptr) && alpha) {
      for (int i = 0; i < alpha_count && i < entries; ++i) image->palette_alpha[i] = alpha[i];
    }
    channels = 1;
  } else {
    image->format = Image::Format::kRgba;
    png_set_expand(png);  // low bit depths to 8, tRNS to an alpha channel
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    channels = 4;
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t(width) * channels)
    png_error(png, "unsupported pixel layout");

  image->pixels.resize(std::size_t(width) * height * channels);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = image->pixels.data() + std::size_t(y) * width * channels;
  png_read_image(png, rows->data());
  png_read_end(png, info);
  if (image->format == Image::Format::kRgba) ReadIndexChunk(png, info, image);
  return true;
}

bool EncodeFrom(png_structp png, png_infop info, PngState* state, const Image* image,
                std::vector<png_bytep>* rows, std::vector<std::uint8_t>* chunk) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, state, WriteBytes, Flush);
  int channels = 4;
  if (image->format == Image::Format::kIndexed) {
    channels = 1;
    png_set_IHDR(png, info, image->width, image->height, image->bit_depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color plte[256];
    int entries = int(image->palette.size());
    for (int i = 0; i < entries; ++i) plte[i] = {image->palette[i].r, image->palette[i].g, image->palette[i].b};
    png_set_PLTE(png, info, plte, entries);
    int last_alpha = -1;
    for (int i = 0; i < int(image->palette_alpha.size()); ++i)
      if (image->palette_alpha[i] != 255) last_alpha = i;
    if (last_alpha >= 0) {
      png_byte alpha[256];
      for (int i = 0; i <= last_alpha; ++i) alpha[i] = image->palette_alpha[i];
      png_set_tRNS(png, info, alpha, last_alpha + 1, nullptr);
    }
  } else {
    bool rgb = image->format == Image::Format::kRgb;
    png_set_IHDR(png, info, image->width, image->height, 8, rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!chunk->empty()) {
      png_unknown_chunk unknown;
      std::memcpy(unknown.name, kIndexChunk, 5);
      unknown.data = chunk->data();
      unknown.size = chunk->size();
      unknown.location = PNG_HAVE_IHDR;
      png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, kIndexChunk, 1);
      png_set_unknown_chunks(png, info, &unknown, 1);
    }
  }
  png_write_info(png, info);
  if (image->format == Image::Format::kIndexed) png_set_packing(png);
  if (image->format == Image::Format::kRgb) png_set_filler(png, 0, PNG_FILLER_AFTER);
  rows->resize(image->height);
  for (int y = 0; y < image->height; ++y)
    (*rows)[y] = const_cast<png_bytep>(image->pixels.data()) + std::size_t(y) * image->width * channels;
  png_write_image(png, rows->data());
  png_write_end(png, info);
  return true;
}

}  // namespace

bool DecodePng(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error) {
  *image = Image();
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
    *error = name + ": not a PNG file";
    return false;
  }
  PngState state;
  state.input = &bytes;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    *error = name + ": out of memory";
    return false;
  }
  std::vector<png_bytep> rows;
  bool ok = DecodeInto(png, info, &state, image, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) {
    *error = name + ": corrupt or unsupported PNG (" + state.message + ")";
    *image = Image();
  }
  return ok;
}

bool ReadPng(const std::string& path, Image* image, std::string* error) {
  std::vector<std::uint8_t> bytes;
  return ReadFile(path, &bytes, error) && DecodePng(bytes, path, image, error);
}

bool EncodePng(const Image& image, std::vector<std::uint8_t>* bytes, std::string* error) {
  bytes->clear();
  std::vector<std::uint8_t> chunk;
  if (image.format != Image::Format::kIndexed && !image.index_plane.empty()) {
    uLongf length = compressBound(image.index_plane.size());
    chunk.resize(8 + length);
    for (int i = 0; i < 4; ++i) {
      chunk[i] = std::uint8_t(std::uint32_t(image.width) >> (24 - 8 * i));
      chunk[4 + i] = std::uint8_t(std::uint32_t(image.height) >> (24 - 8 * i));
    }
    if (compress2(chunk.data() + 8, &length, image.index_plane.data(), image.index_plane.size(), 9) != Z_OK) {
      *error = "cannot compress the index plane";
      return false;
    }
    chunk.resize(8 + length);
  }
  PngState state;
  state.output = bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    *error = "out of memory";
    return false;
  }
  std::vector<png_bytep> rows;
  bool ok = EncodeFrom(png, info, &state, &image, &rows, &chunk);
  png_destroy_write_struct(&png, &info);
  if (!ok) *error = std::string("cannot encode PNG (") + state.message + ")";
  return ok;
}

bool WritePng(const std::string& path, const Image& image, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (!EncodePng(image, &bytes, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return WriteFileAtomic(path, bytes, error);
}

}  // namespace tools
