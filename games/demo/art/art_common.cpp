// Palette, canvases, noise, mask shading and the file writers of the art
// generator. Output depends only on the code: the same build writes the same
// bytes.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"
#include "base/file.h"
#include "base/png_file.h"

namespace demo_art {

namespace {

struct Key {
  int at;  // position 0..15 in the ramp
  Rgb c;
};

// Interpolates a 16-entry ramp through key colours.
void FillRamp(std::array<Rgb, 256>* pal, int base, std::vector<Key> keys) {
  for (int i = 0; i < 16; ++i) {
    std::size_t k = 0;
    while (k + 2 < keys.size() && keys[k + 1].at < i) ++k;
    const Key& a = keys[k];
    const Key& b = keys[k + 1];
    double t = b.at == a.at ? 0.0 : double(i - a.at) / double(b.at - a.at);
    t = std::clamp(t, 0.0, 1.0);
    auto mix = [&](int x, int y) {
      return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    (*pal)[base + i] = {mix(a.c.r, b.c.r), mix(a.c.g, b.c.g), mix(a.c.b, b.c.b)};
  }
}

std::array<Rgb, 256> BuildPalette() {
  std::array<Rgb, 256> p{};
  FillRamp(&p, kGrey, {{0, {0, 0, 0}}, {15, {255, 255, 255}}});
  FillRamp(&p, kNavy,
           {{0, {3, 4, 14}},
            {4, {12, 22, 56}},
            {9, {36, 72, 138}},
            {13, {100, 160, 226}},
            {15, {200, 228, 255}}});
  FillRamp(&p, kViolet,
           {{0, {8, 3, 18}},
            {4, {44, 14, 78}},
            {9, {112, 44, 156}},
            {13, {190, 122, 232}},
            {15, {242, 212, 255}}});
  FillRamp(&p, kTeal,
           {{0, {0, 12, 16}},
            {4, {0, 62, 74}},
            {9, {0, 150, 164}},
            {13, {90, 232, 232}},
            {15, {224, 255, 255}}});
  FillRamp(&p, kSteel,
           {{0, {12, 14, 22}},
            {4, {48, 56, 72}},
            {9, {112, 122, 142}},
            {13, {184, 194, 210}},
            {15, {244, 248, 252}}});
  FillRamp(&p, kBronze,
           {{0, {18, 11, 6}},
            {4, {72, 48, 30}},
            {9, {142, 102, 62}},
            {13, {212, 172, 112}},
            {15, {252, 238, 204}}});
  FillRamp(&p, kRed,
           {{0, {18, 0, 0}},
            {4, {84, 6, 6}},
            {9, {164, 18, 10}},
            {13, {232, 48, 24}},
            {15, {255, 120, 90}}});
  FillRamp(&p, kOrange,
           {{0, {60, 12, 0}},
            {4, {150, 42, 0}},
            {9, {232, 104, 12}},
            {13, {255, 164, 44}},
            {15, {255, 214, 128}}});
  FillRamp(&p, kYellow,
           {{0, {84, 62, 0}},
            {4, {182, 142, 0}},
            {9, {250, 222, 44}},
            {13, {255, 246, 150}},
            {15, {255, 255, 255}}});
  FillRamp(&p, kGreen,
           {{0, {0, 16, 6}},
            {4, {12, 62, 22}},
            {9, {32, 142, 52}},
            {13, {114, 222, 94}},
            {15, {222, 255, 204}}});
  FillRamp(&p, kPink,
           {{0, {20, 0, 16}},
            {4, {92, 10, 72}},
            {9, {192, 32, 142}},
            {13, {252, 104, 204}},
            {15, {255, 214, 242}}});
  FillRamp(&p, kBlue,
           {{0, {0, 8, 42}},
            {4, {0, 42, 142}},
            {9, {32, 112, 255}},
            {13, {124, 192, 255}},
            {15, {232, 246, 255}}});
  FillRamp(&p, kOlive,
           {{0, {14, 16, 8}},
            {4, {58, 62, 34}},
            {9, {118, 122, 74}},
            {13, {188, 190, 134}},
            {15, {246, 246, 214}}});
  FillRamp(&p, kRust,
           {{0, {22, 9, 4}},
            {4, {72, 32, 16}},
            {9, {132, 62, 32}},
            {13, {192, 114, 64}},
            {15, {242, 194, 146}}});
  FillRamp(&p, kLilac,
           {{0, {14, 10, 22}},
            {4, {52, 42, 74}},
            {9, {102, 88, 134}},
            {13, {168, 152, 198}},
            {15, {232, 228, 246}}});
  FillRamp(&p, kAmber,
           {{0, {32, 18, 0}},
            {4, {104, 62, 0}},
            {9, {204, 134, 0}},
            {13, {255, 194, 64}},
            {15, {255, 242, 194}}});
  return p;
}

}  // namespace

const std::array<Rgb, 256>& Palette() {
  static const std::array<Rgb, 256> palette = BuildPalette();
  return palette;
}

void Canvas::Paste(const Canvas& src, int x, int y) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i) {
      int a = src.alpha[j * src.w + i];
      if (a) Set(x + i, y + j, src.index[j * src.w + i], a);
    }
}

Sheet::Sheet(std::string n, int cw, int ch, int cnt, int cols)
    : name(std::move(n)),
      cell_w(cw),
      cell_h(ch),
      count(cnt),
      columns(cols > 0 ? cols : cnt),
      canvas(cw * (cols > 0 ? cols : cnt),
             ch * ((cnt + (cols > 0 ? cols : cnt) - 1) / (cols > 0 ? cols : cnt))) {}

void Sheet::Put(int cell, const Canvas& c) {
  int x = (cell % columns) * cell_w, y = (cell / columns) * cell_h;
  for (int j = 0; j < cell_h && j < c.h; ++j)
    for (int i = 0; i < cell_w && i < c.w; ++i)
      canvas.Set(x + i, y + j, c.index[j * c.w + i], c.alpha[j * c.w + i]);
}

int AlphaStep(double a, double cut) {
  if (a < cut) return 0;
  if (a < 0.375) return 64;
  if (a < 0.625) return 128;
  if (a < 0.9) return 192;
  return 255;
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::uint32_t h = 0x9E3779B9u ^ a;
  h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
  h ^= b * 0xC2B2AE35u;
  h = (h ^ (h >> 13)) * 0x27D4EB2Fu;
  h ^= c * 0x165667B1u;
  h = (h ^ (h >> 15)) * 0x85EBCA6Bu;
  return h ^ (h >> 16);
}

double Noise(double x, double y, double scale, std::uint32_t seed) {
  double fx = x / scale, fy = y / scale;
  double ix = std::floor(fx), iy = std::floor(fy);
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto v = [&](double a, double b) {
    return (Hash(static_cast<std::uint32_t>(static_cast<std::int32_t>(a)),
                 static_cast<std::uint32_t>(static_cast<std::int32_t>(b)), seed) &
            0xFFFF) /
           65536.0;
  };
  double top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
  double bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
  return top + (bottom - top) * ty;
}

double Fbm(double x, double y, double scale, std::uint32_t seed) {
  return (Noise(x, y, scale, seed) * 4 + Noise(x, y, scale / 2, seed + 1) * 2 +
          Noise(x, y, scale / 4, seed + 2)) /
         7.0;
}

bool InPolygon(const std::vector<std::array<double, 2>>& pts, double x, double y) {
  bool in = false;
  for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    double xi = pts[i][0], yi = pts[i][1], xj = pts[j][0], yj = pts[j][1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

void Mask::Fill(const std::function<bool(double, double)>& inside, bool value) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int n = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++n;
      if (n >= 8) on[y * w + x] = value;
    }
}

void Mask::Polygon(const std::vector<std::array<double, 2>>& pts, bool value) {
  Fill([&](double x, double y) { return InPolygon(pts, x, y); }, value);
}

void Mask::Ellipse(double cx, double cy, double rx, double ry, bool value) {
  Fill(
      [&](double x, double y) {
        double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
      },
      value);
}

int Mask::Count() const { return static_cast<int>(std::count(on.begin(), on.end(), 1)); }

void ShadeMask(Canvas* c, const Mask& m, int ramp, int lo, int hi, int outline,
               const Light& light) {
  const int r = static_cast<int>(std::ceil(light.bevel)) + 1;
  std::vector<double> height(m.w * m.h, 0.0);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      if (!m.At(x, y)) continue;
      double best = r;
      for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i)
          if (!m.At(x + i, y + j)) best = std::min(best, std::sqrt(double(i * i + j * j)));
      double t = std::min(best - 0.5, light.bevel) / light.bevel;
      height[y * m.w + x] = std::sin(std::max(t, 0.0) * 1.5707963);
    }
  auto hgt = [&](int x, int y) { return m.At(x, y) ? height[y * m.w + x] : 0.0; };
  double ln = std::sqrt(light.lx * light.lx + light.ly * light.ly + light.lz * light.lz);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      if (!m.At(x, y)) continue;
      bool edge = !m.At(x - 1, y) || !m.At(x + 1, y) || !m.At(x, y - 1) || !m.At(x, y + 1);
      if (edge && outline >= 0) {
        c->Set(x, y, outline);
        continue;
      }
      double gx = (hgt(x + 1, y) - hgt(x - 1, y)) / 2 * light.bevel;
      double gy = (hgt(x, y + 1) - hgt(x, y - 1)) / 2 * light.bevel;
      double nx = -gx, ny = -gy, nz = 1.0;
      double nn = std::sqrt(nx * nx + ny * ny + nz * nz);
      double d = (nx * light.lx + ny * light.ly + nz * light.lz) / (nn * ln);
      d = std::max(d, 0.0);
      double v = light.ambient + (1 - light.ambient) * d + light.gloss * std::pow(d, 8);
      int k = lo + static_cast<int>(std::lround((hi - lo) * std::clamp(v, 0.0, 1.0)));
      c->Set(x, y, ramp + std::clamp(k, 0, 15));
    }
}

void Glow(Canvas* c, const Mask& m, int colour, double radius, double strength) {
  int r = static_cast<int>(std::ceil(radius));
  for (int y = 0; y < c->h; ++y)
    for (int x = 0; x < c->w; ++x) {
      if (c->AlphaAt(x, y)) continue;
      double best = radius + 1;
      for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i)
          if (m.At(x + i, y + j)) best = std::min(best, std::sqrt(double(i * i + j * j)));
      if (best > radius) continue;
      double t = 1.0 - (best - 0.5) / radius;
      int a = AlphaStep(strength * t * t, 0.12);
      if (a) c->Set(x, y, colour, std::min(a, 192));
    }
}

namespace {

// Level 9 unless asked otherwise: the committed sources were written so.
bool SavePng(const std::string& path, const base::PngImage& image, int level = 9) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  base::FileError failure;
  return base::EncodePng(image, level, &bytes, &error) &&
         base::WriteFileAtomic(path, bytes, &failure);
}

base::PngImage Picture(base::PngImage::Format format, int w, int h) {
  base::PngImage image;
  image.format = format;
  image.width = w;
  image.height = h;
  return image;
}

}  // namespace

bool WriteRgbaPng(const std::string& path, const Canvas& c) {
  base::PngImage image = Picture(base::PngImage::Format::kRgba, c.w, c.h);
  image.pixels.assign(static_cast<std::size_t>(c.w) * c.h * 4, 0);
  const auto& pal = Palette();
  for (int i = 0; i < c.w * c.h; ++i) {
    if (!c.alpha[i]) continue;
    Rgb col = pal[c.index[i]];
    image.pixels[i * 4 + 0] = col.r;
    image.pixels[i * 4 + 1] = col.g;
    image.pixels[i * 4 + 2] = col.b;
    image.pixels[i * 4 + 3] = c.alpha[i];
  }
  return SavePng(path, image);
}

// The palette as an indexed 128x128 picture of 8x8 swatches: its PLTE is the
// palette the packer reads, and a person can look at it.
bool WritePalettePng(const std::string& path) {
  base::PngImage image = Picture(base::PngImage::Format::kIndexed, 128, 128);
  for (const Rgb& c : Palette()) image.palette.push_back({c.r, c.g, c.b});
  image.pixels.resize(128 * 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      image.pixels[y * 128 + x] = static_cast<std::uint8_t>((y / 8) * 16 + x / 8);
  return SavePng(path, image);
}

bool WriteRgbPng(const std::string& path, int w, int h, const std::vector<std::uint8_t>& rgb) {
  base::PngImage image = Picture(base::PngImage::Format::kRgb, w, h);
  image.pixels = rgb;
  return SavePng(path, image, -1);
}

bool WriteWav(const std::string& path, const std::vector<double>& samples) {
  std::vector<std::int8_t> native;
  native.reserve(samples.size());
  for (double s : samples) {
    long v = std::lround(128.0 + std::clamp(s, -1.0, 1.0) * 127.0);
    native.push_back(static_cast<std::int8_t>(std::clamp(v, 0L, 255L) - 128));
  }
  base::FileError failure;
  return base::WriteFileAtomic(path, base::EncodeNativeWav(native), &failure);
}

}  // namespace demo_art
