// GIF89a through giflib's encoder, written into a growing byte vector. The
// first frame's palette is the global colour table; a frame whose palette
// differs (a fade) carries its own. Every frame is a full-screen image, so a
// decoder needs no disposal logic to get each frame back.
#include "base/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace base {

struct GifWriter::State {
  GifFileType* gif = nullptr;
  std::vector<std::uint8_t> bytes;
  std::vector<Rgb> global;
  int width = 0, height = 0;
};

namespace {

int Append(GifFileType* gif, const GifByteType* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

ColorMapObject* MakeMap(const Rgb* palette) {
  GifColorType colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = {palette[i].r, palette[i].g, palette[i].b};
  return GifMakeMapObject(256, colours);
}

std::string Reason(const char* step, int code) {
  const char* text = GifErrorString(code);
  return std::string("GIF ") + step + " failed: " + (text ? text : "unknown error");
}

}  // namespace

GifWriter::GifWriter() : state_(std::make_unique<State>()) {}

GifWriter::~GifWriter() {
  if (state_->gif) EGifCloseFile(state_->gif, nullptr);
}

bool GifWriter::Begin(int width, int height, std::string* error) {
  if (state_->gif) EGifCloseFile(state_->gif, nullptr);
  *state_ = State{};
  state_->width = width;
  state_->height = height;
  frames_ = 0;
  int code = 0;
  state_->gif = EGifOpen(&state_->bytes, Append, &code);
  if (!state_->gif) {
    *error = Reason("open", code);
    return false;
  }
  EGifSetGifVersion(state_->gif, true);
  return true;
}

bool GifWriter::AddFrame(const std::uint8_t* pixels, const Rgb* palette, int delay,
                         std::string* error) {
  GifFileType* gif = state_->gif;
  if (!gif) {
    *error = "GIF not begun";
    return false;
  }
  if (frames_ == 0) {
    state_->global.assign(palette, palette + 256);
    ColorMapObject* map = MakeMap(palette);
    int ok = EGifPutScreenDesc(gif, state_->width, state_->height, 8, 0, map);
    GifFreeMapObject(map);
    if (ok == GIF_ERROR) {
      *error = Reason("screen", gif->Error);
      return false;
    }
    // Loop forever (the NETSCAPE2.0 application extension).
    static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof kApp, kApp) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof kLoop, kLoop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR) {
      *error = Reason("loop extension", gif->Error);
      return false;
    }
  }
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
  gcb.DelayTime = std::clamp(delay, 0, 65535);
  gcb.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType ext[4];
  std::size_t ext_size = EGifGCBToExtension(&gcb, ext);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(ext_size), ext) == GIF_ERROR) {
    *error = Reason("frame delay", gif->Error);
    return false;
  }
  bool same = std::equal(palette, palette + 256, state_->global.begin());
  ColorMapObject* local = same ? nullptr : MakeMap(palette);
  int ok = EGifPutImageDesc(gif, 0, 0, state_->width, state_->height, false, local);
  if (local) GifFreeMapObject(local);
  if (ok == GIF_ERROR) {
    *error = Reason("image", gif->Error);
    return false;
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(state_->width));
  for (int y = 0; y < state_->height; ++y) {
    std::memcpy(line.data(), pixels + static_cast<std::size_t>(y) * state_->width, line.size());
    if (EGifPutLine(gif, line.data(), state_->width) == GIF_ERROR) {
      *error = Reason("line", gif->Error);
      return false;
    }
  }
  ++frames_;
  return true;
}

bool GifWriter::Finish(std::vector<std::uint8_t>* bytes, std::string* error) {
  if (!state_->gif || frames_ == 0) {
    *error = "no frame to write";
    return false;
  }
  int code = 0;
  GifFileType* gif = state_->gif;
  state_->gif = nullptr;
  if (EGifCloseFile(gif, &code) == GIF_ERROR) {
    *error = Reason("close", code);
    return false;
  }
  *bytes = std::move(state_->bytes);
  state_->bytes.clear();
  return true;
}

std::size_t GifWriter::Size() const { return state_->bytes.size(); }

}  // namespace base
