// PNG decoding and encoding through libpng. libpng reports errors by
// longjmp, so each setjmp frame below only touches objects owned by its
// caller (reached through pointers), never locals with destructors.
#include "base/png_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>

namespace base {
namespace {

struct PngState {
  const std::uint8_t* input = nullptr;
  std::size_t size = 0;
  std::size_t offset = 0;
  std::vector<std::uint8_t>* output = nullptr;
  char message[256] = {0};
  bool plain = false;  // the message says the whole problem; not "corrupt"
};

void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  if (state->size - state->offset < length) png_error(png, "file is truncated");
  std::memcpy(out, state->input + state->offset, length);
  state->offset += length;
}

void WriteBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  state->output->insert(state->output->end(), data, data + length);
}

void Flush(png_structp) {}

int Channels(PngImage::Format format) {
  return format == PngImage::Format::kIndexed ? 1 : format == PngImage::Format::kRgb ? 3 : 4;
}

// Returns false with state->message set; image fields are written through
// the pointer only.
bool DecodeInto(png_structp png, png_infop info, PngState* state, const char* keep_chunk,
                PngImage* image, std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, state, ReadBytes);
  // Sides are checked below, with a message that gives the limit. No chunk
  // may need more memory than the file's own size: text and profile chunks
  // that inflate past it are dropped, and a length that claims more fails.
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_chunk_malloc_max(png, state->size);
  png_set_chunk_cache_max(png, 1000);
  if (keep_chunk)
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS,
                                reinterpret_cast<png_const_bytep>(keep_chunk), 1);
  png_read_info(png, info);

  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (width > kMaxPngSide || height > kMaxPngSide || long(width) * long(height) > kMaxPngPixels) {
    std::snprintf(state->message, sizeof state->message,
                  "too large: %u x %u pixels, the limit is %ld pixels a side and %ld pixels in all",
                  unsigned(width), unsigned(height), long(kMaxPngSide), kMaxPngPixels);
    state->plain = true;
    return false;
  }
  int colour_type = png_get_color_type(png, info);
  image->width = int(width);
  image->height = int(height);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) {
    image->format = PngImage::Format::kIndexed;
    png_set_packing(png);
    png_colorp plte = nullptr;
    int entries = 0;
    png_get_PLTE(png, info, &plte, &entries);
    image->palette.resize(std::size_t(entries));
    for (int i = 0; i < entries; ++i)
      image->palette[i] = {plte[i].red, plte[i].green, plte[i].blue};
    image->palette_alpha.assign(std::size_t(entries), 255);
    png_bytep alpha = nullptr;
    int alpha_count = 0;
    if (png_get_tRNS(png, info, &alpha, &alpha_count, nullptr) && alpha) {
      for (int i = 0; i < alpha_count && i < entries; ++i) image->palette_alpha[i] = alpha[i];
    }
  } else {
    image->format = PngImage::Format::kRgba;
    png_set_expand(png);  // low bit depths to 8, tRNS to an alpha channel
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  }
  const int channels = Channels(image->format);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t(width) * channels)
    png_error(png, "unsupported pixel layout");

  image->pixels.resize(std::size_t(width) * height * channels);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    (*rows)[y] = image->pixels.data() + std::size_t(y) * width * channels;
  png_read_image(png, rows->data());
  png_read_end(png, info);
  png_unknown_chunkp chunks = nullptr;
  int count = png_get_unknown_chunks(png, info, &chunks);
  for (int i = 0; keep_chunk && i < count; ++i) {
    if (std::memcmp(chunks[i].name, keep_chunk, 4) != 0) continue;
    image->chunks.push_back(
        {keep_chunk, std::vector<std::uint8_t>(chunks[i].data, chunks[i].data + chunks[i].size)});
  }
  return true;
}

bool EncodeFrom(png_structp png, png_infop info, PngState* state, const PngImage* image,
                int compression_level, std::vector<png_bytep>* rows,
                std::vector<png_unknown_chunk>* unknown) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, state, WriteBytes, Flush);
  if (compression_level >= 0) png_set_compression_level(png, compression_level);
  if (image->format == PngImage::Format::kIndexed) {
    png_set_IHDR(png, info, image->width, image->height, image->bit_depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color plte[256];
    int entries = int(image->palette.size());
    for (int i = 0; i < entries; ++i)
      plte[i] = {image->palette[i].r, image->palette[i].g, image->palette[i].b};
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
    bool rgb = image->format == PngImage::Format::kRgb;
    png_set_IHDR(png, info, image->width, image->height, 8,
                 rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  }
  if (!unknown->empty()) {
    for (png_unknown_chunk& c : *unknown)
      png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, c.name, 1);
    png_set_unknown_chunks(png, info, unknown->data(), int(unknown->size()));
  }
  png_write_info(png, info);
  if (image->format == PngImage::Format::kIndexed) png_set_packing(png);
  const std::size_t stride = std::size_t(image->width) * Channels(image->format);
  rows->resize(image->height);
  for (int y = 0; y < image->height; ++y)
    (*rows)[y] = const_cast<png_bytep>(image->pixels.data()) + std::size_t(y) * stride;
  png_write_image(png, rows->data());
  png_write_end(png, info);
  return true;
}

// Walks the chunk headers before libpng sees them: libpng allocates a
// chunk's claimed length before reading it, so a 57-byte file claiming a
// 2 GiB text chunk would cost 2 GiB. False with the plain problem.
bool ScanChunks(const std::uint8_t* bytes, std::size_t size, std::string* problem) {
  std::size_t at = 8;
  while (size - at >= 12) {
    std::size_t length = (std::size_t(bytes[at]) << 24) | (std::size_t(bytes[at + 1]) << 16) |
                         (std::size_t(bytes[at + 2]) << 8) | bytes[at + 3];
    std::string type(reinterpret_cast<const char*>(bytes + at + 4), 4);
    if (type == "IDAT") return true;  // libpng checks the rest as it streams
    if (type == "IEND") {
      *problem = "the PNG has no image data (its IEND chunk comes before any IDAT chunk)";
      return false;
    }
    if (length > size - at - 12) {
      *problem = "corrupt PNG: the file is truncated (a chunk of " + std::to_string(length) +
                 " bytes at byte " + std::to_string(at) + ", only " +
                 std::to_string(size - at - 12) + " left)";
      return false;
    }
    at += 12 + length;
  }
  *problem = "corrupt PNG: the file is truncated before its image data";
  return false;
}

}  // namespace

bool DecodePng(const std::uint8_t* bytes, std::size_t size, const char* keep_chunk, PngImage* image,
               std::string* error) {
  *image = PngImage();
  if (size < 8 || png_sig_cmp(bytes, 0, 8) != 0) {
    *error = "not a PNG file";
    return false;
  }
  if (!ScanChunks(bytes, size, error)) return false;
  PngState state;
  state.input = bytes;
  state.size = size;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    *error = "out of memory";
    return false;
  }
  std::vector<png_bytep> rows;
  bool ok = DecodeInto(png, info, &state, keep_chunk, image, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) {
    *error = state.plain ? std::string(state.message)
                         : std::string("corrupt or unsupported PNG (") + state.message + ")";
    *image = PngImage();
  }
  return ok;
}

bool EncodePng(const PngImage& image, int compression_level, std::vector<std::uint8_t>* bytes,
               std::string* error) {
  bytes->clear();
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != std::size_t(image.width) * image.height * Channels(image.format) ||
      image.palette.size() > 256 || image.palette_alpha.size() > 256) {
    *error = "cannot encode PNG (no pixels, not width x height of them, or over 256 colours)";
    return false;
  }
  std::vector<png_unknown_chunk> unknown(image.chunks.size());
  for (std::size_t i = 0; i < unknown.size(); ++i) {
    std::memset(&unknown[i], 0, sizeof unknown[i]);
    std::memcpy(unknown[i].name, image.chunks[i].name.c_str(), 4);
    unknown[i].data = const_cast<png_bytep>(image.chunks[i].data.data());
    unknown[i].size = image.chunks[i].data.size();
    unknown[i].location = PNG_HAVE_IHDR;
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
  bool ok = EncodeFrom(png, info, &state, &image, compression_level, &rows, &unknown);
  png_destroy_write_struct(&png, &info);
  if (!ok) *error = std::string("cannot encode PNG (") + state.message + ")";
  return ok;
}

}  // namespace base
