// The window display: the 320x240 frame shown through the palette, scaled
// by a whole factor and centred on black. The display brings up SDL's video
// itself; the machine's SDL_Init stays audio and joystick only. The window
// changes at each Present, at each new palette (as the hardware palette
// does) and on expose. The developer's overlay is drawn over the scaled
// frame in the window only, so the core's frames never contain it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backend/backends.h"
#include "base/builtin_font.h"

namespace backend {

namespace {

// Drivers that would draw into the terminal: never a window. The dummy
// driver, named on purpose, runs the window path with nothing shown (tests).
bool UsableDriver(const char* name) {
  return std::strcmp(name, "aalib") != 0 && std::strcmp(name, "caca") != 0;
}

// Brings up SDL video. A driver named in SDL_VIDEODRIVER is used as given
// (unless it draws as text); otherwise only drivers that give real pixels
// are tried, so SDL never falls back to a text-mode driver, which would take
// over the terminal before it could be refused.
bool InitVideo(std::string* error) {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) {
    if (!UsableDriver(chosen)) {
      *error = std::string("the '") + chosen + "' video driver cannot show a window";
      return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    *error = SDL_GetError();
    return false;
  }
  for (const char* driver : {"x11", "fbcon"}) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!up && error->empty()) *error = SDL_GetError();
    unsetenv("SDL_VIDEODRIVER");
    if (up) return true;
  }
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) *error += " (DISPLAY is not set)";
  return false;
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
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    desktop_w_ = info && info->current_w > 0 ? info->current_w : 640;
    desktop_h_ = info && info->current_h > 0 ? info->current_h : 480;
    ApplyTitle();
    bool ok = SetMode();
    if (!ok && fullscreen_) {
      fullscreen_ = false;  // no fullscreen mode: a window will do
      ok = SetMode();
    }
    if (!ok) {
      *error = std::string("cannot open a window: ") + SDL_GetError();
      Close();
      return false;
    }
    return true;
  }

  void Close() override {
    if (!video_up_) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_up_ = false;
    screen_ = nullptr;
  }

  void SetPalette(const platform::Rgb (&colours)[256]) override {
    std::copy(colours, colours + 256, palette_);
    MapPalette();
    Show();
  }

  void Present(const std::uint8_t* frame) override {
    std::memcpy(frame_.data(), frame, frame_.size());
    Show();
  }

  int SetGamma(float red, float green, float blue) override {
    return SDL_SetGamma(red, green, blue);
  }

  void ToggleFullscreen() override {
    if (!screen_) return;
    fullscreen_ = !fullscreen_;
    if (!SetMode()) {
      fullscreen_ = !fullscreen_;
      SetMode();
    }
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
    icon_title_ = name.empty() ? "lunashot" : name;
    ApplyTitle();
  }

 private:
  // Sets the video mode for the current fullscreen choice and lays out the
  // frame: windowed, the window is exactly the scaled frame; fullscreen, the
  // desktop's size with the frame centred on black.
  bool SetMode() {
    int fit = std::max(
        1, std::min(desktop_w_ / platform::kScreenWidth, desktop_h_ / platform::kScreenHeight));
    int w, h;
    if (fullscreen_) {
      scale_ = fixed_scale_ > 0 ? std::min(fixed_scale_, fit) : fit;
      w = std::max(desktop_w_, platform::kScreenWidth * scale_);
      h = std::max(desktop_h_, platform::kScreenHeight * scale_);
    } else {
      scale_ = fixed_scale_ > 0 ? fixed_scale_ : std::max(2, fit);
      w = platform::kScreenWidth * scale_;
      h = platform::kScreenHeight * scale_;
    }
    Uint32 flags = SDL_SWSURFACE | (fullscreen_ ? SDL_FULLSCREEN : 0);
    // A failed mode set may have freed the old surface: nothing is drawn
    // until a mode is set again.
    screen_ = nullptr;
    SDL_Surface* s = SDL_SetVideoMode(w, h, 32, flags);
    if (!s || s->format->BytesPerPixel != 4) return false;
    screen_ = s;
    // The mode set may not give the size asked for; centre on what it gave.
    left_ = std::max(0, (screen_->w - platform::kScreenWidth * scale_) / 2);
    top_ = std::max(0, (screen_->h - platform::kScreenHeight * scale_) / 2);
    SDL_ShowCursor(fullscreen_ ? SDL_DISABLE : SDL_ENABLE);
    SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 0, 0, 0));
    SDL_Flip(screen_);
    MapPalette();
    return true;
  }

  void ApplyTitle() {
    if (video_up_) SDL_WM_SetCaption(title_.c_str(), icon_title_.c_str());
  }

  void MapPalette() {
    if (!screen_) return;
    for (int i = 0; i < 256; ++i)
      pixel_[i] = SDL_MapRGB(screen_->format, palette_[i].r, palette_[i].g, palette_[i].b);
  }

  // Converts and scales the framebuffer into the window: each source row is
  // widened once and its copy repeated for the other `scale_ - 1` rows.
  void Show() {
    if (!screen_) return;
    if (SDL_MUSTLOCK(screen_) && SDL_LockSurface(screen_) < 0) return;
    const int s = scale_;
    const int visible_w = std::min(platform::kScreenWidth * s, screen_->w - left_);
    const int visible_h = std::min(platform::kScreenHeight * s, screen_->h - top_);
    auto* base = static_cast<std::uint8_t*>(screen_->pixels) +
                 static_cast<std::ptrdiff_t>(top_) * screen_->pitch + left_ * 4;
    for (int y = 0; y * s < visible_h; ++y) {
      auto* out =
          reinterpret_cast<Uint32*>(base + static_cast<std::ptrdiff_t>(y) * s * screen_->pitch);
      const std::uint8_t* in = frame_.data() + y * platform::kScreenWidth;
      for (int x = 0, o = 0; x < platform::kScreenWidth && o < visible_w; ++x) {
        Uint32 p = pixel_[in[x]];
        for (int k = 0; k < s && o < visible_w; ++k) out[o++] = p;
      }
      for (int k = 1; k < s && y * s + k < visible_h; ++k)
        std::memcpy(reinterpret_cast<std::uint8_t*>(out) + k * screen_->pitch, out,
                    static_cast<std::size_t>(visible_w) * 4);
    }
    if (overlay_.level > 0) DrawOverlay(visible_w, visible_h);
    if (SDL_MUSTLOCK(screen_)) SDL_UnlockSurface(screen_);
    SDL_UpdateRect(screen_, left_, top_, visible_w, visible_h);
  }

  // Window pixels of the frame area, clipped to what is visible.
  void Plot(int x, int y, Uint32 colour) {
    if (x < 0 || y < 0 || x >= visible_w_ || y >= visible_h_) return;
    auto* row = static_cast<std::uint8_t*>(screen_->pixels) +
                static_cast<std::ptrdiff_t>(top_ + y) * screen_->pitch + (left_ + x) * 4;
    *reinterpret_cast<Uint32*>(row) = colour;
  }

  void Fill(int x, int y, int w, int h, Uint32 colour) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Plot(i, j, colour);
  }

  // Text in the built-in font, one window pixel per font pixel at scale 1
  // and `scale_` at more, over a dark band.
  void Text(int row, const std::string& line) {
    const int k = std::max(1, scale_ / 2);
    const int advance = (base::kGlyphWidth + 1) * k, height = (base::kGlyphHeight + 3) * k;
    const int y0 = row * height;
    Fill(0, y0, static_cast<int>(line.size()) * advance + 2 * k, height,
         SDL_MapRGB(screen_->format, 0, 0, 0));
    const Uint32 ink = SDL_MapRGB(screen_->format, 120, 255, 120);
    for (std::size_t c = 0; c < line.size(); ++c) {
      const std::uint8_t* rows = base::BuiltinGlyph(static_cast<unsigned char>(line[c]));
      for (int r = 0; r < base::kGlyphHeight; ++r)
        for (int col = 0; col < base::kGlyphWidth; ++col)
          if (rows[r] & (0x10 >> col))
            Fill(k + static_cast<int>(c) * advance + col * k, y0 + k + r * k, k, k, ink);
    }
  }

  void DrawOverlay(int visible_w, int visible_h) {
    visible_w_ = visible_w;
    visible_h_ = visible_h;
    const platform::OverlayFigures& o = overlay_;
    if (o.level >= 2) {
      const Uint32 ring = SDL_MapRGB(screen_->format, 255, 64, 255);
      const Uint32 spot = SDL_MapRGB(screen_->format, 255, 255, 0);
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
  }

  const int fixed_scale_;
  bool fullscreen_;
  bool video_up_ = false;
  int desktop_w_ = 0, desktop_h_ = 0;
  std::string title_ = "lunashot", icon_title_ = "lunashot";
  int scale_ = 2, left_ = 0, top_ = 0;
  SDL_Surface* screen_ = nullptr;
  platform::Rgb palette_[256] = {};
  Uint32 pixel_[256] = {};
  platform::OverlayFigures overlay_;
  int visible_w_ = 0, visible_h_ = 0;
  std::vector<std::uint8_t> frame_ = std::vector<std::uint8_t>(platform::kFrameBytes);
};

}  // namespace

std::unique_ptr<WindowDisplay> CreateWindowDisplay(int scale, bool fullscreen) {
  return std::make_unique<SdlWindow>(scale, fullscreen);
}

}  // namespace backend
