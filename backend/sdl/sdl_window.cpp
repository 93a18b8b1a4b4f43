// The window display: the 320x240 frame, converted through the palette
// into a streaming texture, drawn at a whole factor of real pixels and
// centred on black, in a window or in desktop fullscreen (no mode change).
// The display brings up SDL's video itself. The window changes at each
// Present, at each new palette (as the hardware palette does) and on
// expose or resize. The developer's overlay is drawn over the scaled frame
// in the window only, so the core's frames never contain it. Presents never
// wait for the display's refresh unless SDL_RENDER_VSYNC asks for it: the
// frame step's 16 ms wait is the game's clock.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backend/backends.h"
#include "base/builtin_font.h"

namespace backend {

namespace {

// Brings up SDL video. A driver named in SDL_VIDEODRIVER is used as given;
// otherwise SDL tries those that show a window.
bool InitVideo(std::string* error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  *error = SDL_GetError();
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!chosen || !*chosen) && (!display || !*display) && (!wayland || !*wayland))
    *error += " (DISPLAY is not set)";
  return false;
}

// The largest whole factor at which the frame fits in w x h pixels.
int Fit(int w, int h) {
  return std::max(1, std::min(w / platform::kScreenWidth, h / platform::kScreenHeight));
}

class SdlWindow : public WindowDisplay {
 public:
  SdlWindow(int scale, bool fullscreen) : fixed_scale_(scale), fullscreen_(fullscreen) {}
  ~SdlWindow() override { Close(); }

  bool Open(std::string* error) override {
    std::string cause;
    if (!InitVideo(&cause)) {
      *error = "cannot open a window: " + cause;
      return false;
    }
    video_up_ = true;
    // Hidden and untitled until it has its size: nothing looks for it before.
    window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               platform::kScreenWidth, platform::kScreenHeight,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (window_ && !renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_)
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                   SDL_TEXTUREACCESS_STREAMING, platform::kScreenWidth,
                                   platform::kScreenHeight);
    // Whole factors of sharp pixels, whatever SDL_RENDER_SCALE_QUALITY says.
    if (texture_) SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    if (!texture_) {
      *error = std::string("cannot open a window: ") + SDL_GetError();
      Close();
      return false;
    }
    SizeWindow();
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_SetWindowTitle(window_, title_.c_str());
    SDL_ShowWindow(window_);
    if (fullscreen_ && SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
      fullscreen_ = false;  // no fullscreen: a window will do
    SDL_ShowCursor(fullscreen_ ? SDL_DISABLE : SDL_ENABLE);
    SDL_StopTextInput();
    Show();
    return true;
  }

  void Close() override {
    if (!video_up_) return;
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_up_ = false;
  }

  void SetPalette(const platform::Rgb (&colours)[256]) override {
    for (int i = 0; i < 256; ++i)
      pixel_[i] = 0xff000000u | static_cast<Uint32>(colours[i].r) << 16 |
                  static_cast<Uint32>(colours[i].g) << 8 | colours[i].b;
    Show();
  }

  void Present(const std::uint8_t* frame) override {
    std::memcpy(frame_.data(), frame, frame_.size());
    Show();
  }

  int SetGamma(float red, float green, float blue) override {
    if (!window_ || red < 0 || green < 0 || blue < 0) return -1;
    Uint16 ramps[3][256];
    SDL_CalculateGammaRamp(red, ramps[0]);
    SDL_CalculateGammaRamp(green, ramps[1]);
    SDL_CalculateGammaRamp(blue, ramps[2]);
    return SDL_SetWindowGammaRamp(window_, ramps[0], ramps[1], ramps[2]) == 0 ? 0 : -1;
  }

  void ToggleFullscreen() override {
    if (!window_) return;
    const bool want = !fullscreen_;
    if (SDL_SetWindowFullscreen(window_, want ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    fullscreen_ = want;
    SDL_ShowCursor(fullscreen_ ? SDL_DISABLE : SDL_ENABLE);
    Show();
  }

  void Redraw() override { Show(); }

  int Scale() override { return scale_; }

  void SetOverlay(const platform::OverlayFigures& figures) override {
    overlay_ = figures;
    Show();
  }

  void SetTitle(const std::string& name, const std::string& note) override {
    title_ = name.empty() ? "lunashot" : name;
    if (!note.empty()) title_ += " - " + note;
    if (window_) SDL_SetWindowTitle(window_, title_.c_str());
  }

 private:
  // Real pixels per window unit (above 1 on a HiDPI desktop that scales).
  double PixelRatio() {
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(window_, &w, &h);
    SDL_GetRendererOutputSize(renderer_, &pw, &ph);
    return w > 0 && pw > 0 ? static_cast<double>(pw) / w : 1.0;
  }

  // The window for the factor asked for (default: the largest that fits the
  // desktop, at least 2), counted in real pixels. A desktop may tell the
  // pixel ratio only once the window shows (or moves to another screen):
  // Show sizes it again when the ratio changes.
  void SizeWindow() {
    const double ratio = PixelRatio();
    sized_ratio_ = ratio;
    int want = fixed_scale_;
    SDL_DisplayMode desktop;
    if (want <= 0) {
      want = 2;
      if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(window_), &desktop) == 0)
        want = std::max(2, Fit(static_cast<int>(desktop.w * ratio), static_cast<int>(desktop.h * ratio)));
    }
    windowed_scale_ = want;
    SDL_SetWindowSize(window_, static_cast<int>(std::ceil(platform::kScreenWidth * want / ratio)),
                      static_cast<int>(std::ceil(platform::kScreenHeight * want / ratio)));
  }

  // Lays the frame out in what the window has now, in real pixels:
  // windowed, the factor asked for (less if the window came out smaller);
  // fullscreen, the largest that fits (at most the one --scale gave).
  void Layout() {
    SDL_GetRendererOutputSize(renderer_, &out_w_, &out_h_);
    const int fit = Fit(out_w_, out_h_);
    if (fullscreen_)
      scale_ = fixed_scale_ > 0 ? std::min(fixed_scale_, fit) : fit;
    else
      scale_ = std::min(windowed_scale_, fit);
    left_ = std::max(0, (out_w_ - platform::kScreenWidth * scale_) / 2);
    top_ = std::max(0, (out_h_ - platform::kScreenHeight * scale_) / 2);
    visible_w_ = std::min(platform::kScreenWidth * scale_, out_w_ - left_);
    visible_h_ = std::min(platform::kScreenHeight * scale_, out_h_ - top_);
  }

  // The frame through the palette into the texture, the texture drawn at
  // the whole factor on black, then the overlay at window pixels.
  void Show() {
    if (!texture_) return;
    if (!fullscreen_ && PixelRatio() != sized_ratio_) SizeWindow();
    Layout();
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) == 0) {
      for (int y = 0; y < platform::kScreenHeight; ++y) {
        auto* out = reinterpret_cast<Uint32*>(static_cast<std::uint8_t*>(pixels) +
                                              static_cast<std::ptrdiff_t>(y) * pitch);
        const std::uint8_t* in = frame_.data() + y * platform::kScreenWidth;
        for (int x = 0; x < platform::kScreenWidth; ++x) out[x] = pixel_[in[x]];
      }
      SDL_UnlockTexture(texture_);
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect area{left_, top_, platform::kScreenWidth * scale_,
                        platform::kScreenHeight * scale_};
    SDL_RenderCopy(renderer_, texture_, nullptr, &area);
    if (overlay_.level > 0) DrawOverlay();
    SDL_RenderPresent(renderer_);
  }

  // Window pixels of the frame area, clipped to what is visible, gathered
  // by colour and drawn at the end of the overlay.
  void Plot(int x, int y, int colour) { Fill(x, y, 1, 1, colour); }

  void Fill(int x, int y, int w, int h, int colour) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, visible_w_), y1 = std::min(y + h, visible_h_);
    if (x0 >= x1 || y0 >= y1) return;
    rects_[colour].push_back(SDL_Rect{left_ + x0, top_ + y0, x1 - x0, y1 - y0});
  }

  // Draws what was gathered: each colour's rectangles in the order given.
  void FlushOverlay() {
    for (int c = 0; c < kOverlayColours; ++c) {
      // The band behind the text goes first so the ink stays on top.
      const SDL_Colour& k = kOverlayColour[c];
      SDL_SetRenderDrawColor(renderer_, k.r, k.g, k.b, 255);
      if (!rects_[c].empty())
        SDL_RenderFillRects(renderer_, rects_[c].data(), static_cast<int>(rects_[c].size()));
      rects_[c].clear();
    }
  }

  // Text in the built-in font, one window pixel per font pixel at scale 1
  // and `scale_` at more, over a dark band.
  void Text(int row, const std::string& line) {
    const int k = std::max(1, scale_ / 2);
    const int advance = (base::kGlyphWidth + 1) * k, height = (base::kGlyphHeight + 3) * k;
    const int y0 = row * height;
    Fill(0, y0, static_cast<int>(line.size()) * advance + 2 * k, height, kBand);
    const int ink = kInk;
    for (std::size_t c = 0; c < line.size(); ++c) {
      const std::uint8_t* rows = base::BuiltinGlyph(static_cast<unsigned char>(line[c]));
      for (int r = 0; r < base::kGlyphHeight; ++r)
        for (int col = 0; col < base::kGlyphWidth; ++col)
          if (rows[r] & (0x10 >> col))
            Fill(k + static_cast<int>(c) * advance + col * k, y0 + k + r * k, k, k, ink);
    }
  }

  void DrawOverlay() {
    const platform::OverlayFigures& o = overlay_;
    if (o.level >= 2) {
      const int ring = kRing, spot = kSpot;
      for (const platform::OverlayFigures::Shape& sh : o.shapes) {
        const int cx = sh.x * scale_ + scale_ / 2, cy = sh.y * scale_ + scale_ / 2;
        const int r = sh.radius * scale_;
        // Midpoint circle: eight octants at once.
        for (int x = r, y = 0, err = 1 - r; r > 0 && x >= y; ++y) {
          const int pts[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                 {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
          for (const auto& p : pts) Plot(cx + p[0], cy + p[1], ring);
          if (err < 0) {
            err += 2 * y + 3;
          } else {
            err += 2 * (y - x) + 5;
            --x;
          }
        }
        for (int d = -2 * scale_; d <= 2 * scale_; ++d) {
          Plot(cx + d, cy, spot);
          Plot(cx, cy + d, spot);
        }
      }
    }
    char line[128];
    std::snprintf(line, sizeof line, "%u FPS  WORK %u MS  FRAME %u MS  LATE %u", o.presented,
                  o.work_ms, o.frame_ms, o.late_frames);
    Text(0, line);
    std::snprintf(line, sizeof line, "ENEMY %d/%d EBULLET %d PBULLET %d", o.lists[0], o.lists[1],
                  o.lists[2], o.lists[3]);
    Text(1, line);
    std::snprintf(line, sizeof line, "LAYERS %d/%d/%d/%d  FREE %d", o.lists[4], o.lists[5],
                  o.lists[6], o.lists[7], o.free_slots);
    Text(2, line);
    std::snprintf(line, sizeof line, "EVENTS %d  HEAP %zu KB  NOTICES %u", o.pending_events,
                  (o.script_heap + 1023) / 1024, o.notices);
    Text(3, line);
    FlushOverlay();
  }

  // The overlay's colours, drawn in this order.
  enum { kRing, kSpot, kBand, kInk, kOverlayColours };
  static constexpr SDL_Colour kOverlayColour[kOverlayColours] = {
      {255, 64, 255, 255}, {255, 255, 0, 255}, {0, 0, 0, 255}, {120, 255, 120, 255}};

  const int fixed_scale_;
  bool fullscreen_;
  bool video_up_ = false;
  std::string title_ = "lunashot";
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int windowed_scale_ = 2;
  double sized_ratio_ = 1.0;  // the pixel ratio the window was sized for
  int scale_ = 2, left_ = 0, top_ = 0, out_w_ = 0, out_h_ = 0;
  int visible_w_ = 0, visible_h_ = 0;
  Uint32 pixel_[256] = {};
  platform::OverlayFigures overlay_;
  std::vector<SDL_Rect> rects_[kOverlayColours];
  std::vector<std::uint8_t> frame_ = std::vector<std::uint8_t>(platform::kFrameBytes);
};

}  // namespace

std::unique_ptr<WindowDisplay> CreateWindowDisplay(int scale, bool fullscreen) {
  return std::make_unique<SdlWindow>(scale, fullscreen);
}

}  // namespace backend
