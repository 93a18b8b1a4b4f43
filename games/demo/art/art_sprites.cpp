// The demo's sprite sheets: ships, enemies, bullets, effects and background
// pieces, drawn from polygons, ellipses and noise with a fixed top-left light.
// Sprite hotspots are the cell centres unless the scripts say otherwise.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace demo_art {

namespace {

constexpr double kPi = 3.14159265358979323846;
using Pts = std::vector<std::array<double, 2>>;

Pts Map(const Pts& pts, const std::function<std::array<double, 2>(double, double)>& f) {
  Pts out;
  for (const auto& p : pts) out.push_back(f(p[0], p[1]));
  return out;
}

Pts Mirror(const Pts& pts) {
  Pts out;
  for (auto it = pts.rbegin(); it != pts.rend(); ++it) out.push_back({-(*it)[0], (*it)[1]});
  return out;
}

// Dark one-pixel rim around a shape (outside it), so sprites read against
// any background.
void OutlineOutside(Canvas* c, const Mask& m, int colour) {
  for (int y = 0; y < c->h; ++y)
    for (int x = 0; x < c->w; ++x) {
      if (m.At(x, y) || c->AlphaAt(x, y) == 255) continue;
      if (m.At(x - 1, y) || m.At(x + 1, y) || m.At(x, y - 1) || m.At(x, y + 1))
        c->Set(x, y, colour);
    }
}

Mask Union(const Mask& a, const Mask& b) {
  Mask m = a;
  for (std::size_t i = 0; i < m.on.size(); ++i) m.on[i] = m.on[i] || b.on[i];
  return m;
}

// A radial glowing ball: opaque core colours inside `core`, blended halo out
// to `halo`.
void Ball(Canvas* c, double cx, double cy, double core, double halo, const std::vector<int>& ramp,
          int halo_colour, double halo_strength = 0.8) {
  for (int y = 0; y < c->h; ++y)
    for (int x = 0; x < c->w; ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      double d = std::sqrt(dx * dx + dy * dy);
      if (d <= core) {
        // Off-centre highlight: the ramp runs from the lit top-left to the rim.
        double hx = dx + core * 0.3, hy = dy + core * 0.3;
        double t = std::sqrt(hx * hx + hy * hy) / (core * 1.3);
        int i = std::clamp(static_cast<int>(t * ramp.size()), 0, static_cast<int>(ramp.size()) - 1);
        c->Set(x, y, ramp[i]);
      } else if (d <= halo) {
        double t = 1.0 - (d - core) / (halo - core);
        int a = AlphaStep(halo_strength * t, 0.15);
        if (a) c->Set(x, y, halo_colour, std::min(a, 192));
      }
    }
}

// --- The player --------------------------------------------------------------

// Five frames, banking hard left to hard right; the ship points up, its
// centre at (12, 12).
void Player(std::vector<Sheet>* sheets) {
  Sheet sheet("player", 24, 24, 5);
  const Pts wing = {{-2.5, -3}, {-11.5, 4.5}, {-11.5, 8.5}, {-8, 8.5}, {-2.5, 6.5}};
  const Pts gun = {{-11.8, -1.5}, {-9.6, -1.5}, {-9.6, 9}, {-11.8, 9}};
  const Pts body = {{0, -11.8},   {2.2, -7}, {3.6, -1},  {3.6, 8},  {2.6, 11.6},
                    {-2.6, 11.6}, {-3.6, 8}, {-3.6, -1}, {-2.2, -7}};
  const Pts stripe = {{-3.5, 0.5}, {-9.8, 5.2}, {-9.8, 6.6}, {-3.5, 2.4}};
  for (int f = 0; f < 5; ++f) {
    int b = f - 2;
    auto tf = [b](double x, double y) -> std::array<double, 2> {
      double s = 1.0 - 0.07 * std::abs(b);
      if (x * b > 0) s *= 1.0 - 0.13 * std::abs(b);  // the dipping wing looks shorter
      return {12 + x * s - b * 0.6, 12 + y};
    };
    Canvas c(24, 24);
    Light wl;
    wl.lx = -0.55 + 0.25 * b;
    wl.bevel = 2.0;
    wl.ambient = 0.25;
    Mask wings(24, 24), guns(24, 24), hull(24, 24), stripes(24, 24);
    wings.Polygon(Map(wing, tf));
    wings.Polygon(Map(Mirror(wing), tf));
    guns.Polygon(Map(gun, tf));
    guns.Polygon(Map(Mirror(gun), tf));
    hull.Polygon(Map(body, tf));
    stripes.Polygon(Map(stripe, tf));
    stripes.Polygon(Map(Mirror(stripe), tf));
    ShadeMask(&c, wings, kSteel, 3, 12, -1, wl);
    ShadeMask(&c, guns, kSteel, 5, 15, -1, wl);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x)
        if (stripes.At(x, y) && wings.At(x, y))
          c.Set(x, y, stripes.At(x, y - 1) ? kBlue + 9 : kBlue + 12);
    Light hl = wl;
    hl.bevel = 2.5;
    hl.gloss = 0.5;
    ShadeMask(&c, hull, kSteel, 5, 15, -1, hl);
    // Canopy: teal glass with a highlight, and the gun muzzles' glints.
    Mask glass(24, 24);
    auto centre = tf(0, -4);
    glass.Ellipse(centre[0], centre[1], 1.7, 3.2);
    Light gl;
    gl.bevel = 1.5;
    gl.gloss = 0.9;
    ShadeMask(&c, glass, kTeal, 4, 15, -1, gl);
    auto l = tf(-10.7, -1.5), r = tf(10.7, -1.5);
    c.Set(static_cast<int>(l[0]), static_cast<int>(l[1]), kBlue + 14);
    c.Set(static_cast<int>(r[0]), static_cast<int>(r[1]), kBlue + 14);
    // Engine nozzles.
    auto n = tf(0, 11);
    c.Set(static_cast<int>(n[0]) - 2, 23, kSteel + 2);
    c.Set(static_cast<int>(n[0]) + 1, 23, kSteel + 2);
    Mask all = Union(Union(wings, guns), hull);
    OutlineOutside(&c, all, kNavy + 1);
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// The exhaust below the player: two flickering jets, blended.
void Flame(std::vector<Sheet>* sheets) {
  Sheet sheet("flame", 10, 14, 4);
  const double lengths[4] = {9, 12, 10, 13};
  for (int f = 0; f < 4; ++f) {
    Canvas c(10, 14);
    for (int jet = 0; jet < 2; ++jet) {
      double jx = jet ? 6.5 : 3.5;
      double len = lengths[(f + jet) % 4];
      for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 10; ++x) {
          double t = (y + 0.5) / len;
          if (t > 1) continue;
          double width = 1.6 * (1 - t * 0.8);
          double d = std::abs(x + 0.5 - jx) / width;
          if (d > 1.6) continue;
          double heat = (1 - t) * (1.3 - d * 0.7);
          if (heat > 0.85 && d < 0.7)
            c.Set(x, y, kYellow + 15);
          else if (heat > 0.6 && d < 1.0)
            c.Set(x, y, kYellow + 12, 192);
          else if (heat > 0.35)
            c.Set(x, y, kOrange + 12, 128);
          else if (heat > 0.12)
            c.Set(x, y, kRed + 12, 64);
        }
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Player shots: 0-1 the main bolt, 2-3 the side plasma.
void PlayerShots(std::vector<Sheet>* sheets) {
  Sheet sheet("pshot", 8, 16, 4);
  for (int f = 0; f < 2; ++f) {
    Canvas c(8, 16);
    for (int y = 1; y < 15; ++y)
      for (int x = 0; x < 8; ++x) {
        double dx = std::abs(x + 0.5 - 4.0);
        double tip = y < 4 ? (4 - y) * 0.35 : 0;
        if (dx < 1.0 - tip * 0.5 && y >= 2 && y <= 13)
          c.Set(x, y, y < 4 ? kBlue + 15 : kGrey + 15);
        else if (dx < 2.0 - tip && y >= 2)
          c.Set(x, y, y > 11 ? kBlue + 10 : kBlue + 13);
        else if (dx < 3.0 + f * 0.5 - tip)
          c.Set(x, y, kBlue + 11, (y + f) % 3 == 0 ? 64 : 128);
      }
    sheet.Put(f, c);
  }
  for (int f = 0; f < 2; ++f) {
    Canvas c(8, 16);
    Ball(&c, 4, 8, 2.2, 3.9 - f * 0.4, {kGrey + 15, kTeal + 14, kTeal + 12, kTeal + 10},
         kTeal + 12);
    sheet.Put(2 + f, c);
  }
  sheets->push_back(std::move(sheet));
}

// --- Enemies -------------------------------------------------------------------

// Dart: a small swept-wing fighter pointing down, 16x16, 4 frames of
// blinking wing lights and engine flicker.
void Dart(std::vector<Sheet>* sheets) {
  Sheet sheet("dart", 16, 16, 4);
  const Pts shape = {{0, 7.6},   {2.6, 1.5},   {7.6, -3.5}, {6.5, -6},    {2.2, -3.2}, {1.2, -7},
                     {-1.2, -7}, {-2.2, -3.2}, {-6.5, -6},  {-7.6, -3.5}, {-2.6, 1.5}};
  auto tf = [](double x, double y) -> std::array<double, 2> { return {8 + x, 8 + y}; };
  for (int f = 0; f < 4; ++f) {
    Canvas c(16, 16);
    Mask m(16, 16);
    m.Polygon(Map(shape, tf));
    Light l;
    l.bevel = 2.0;
    ShadeMask(&c, m, kLilac, 3, 14, -1, l);
    // Magenta intake stripes and the canopy.
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (m.At(x, y) && (y == 5) && std::abs(x - 8) >= 3) c.Set(x, y, kPink + 10);
    c.Set(7, 9, kPink + 14);
    c.Set(8, 9, kPink + 12);
    c.Set(7, 10, kPink + 11);
    c.Set(8, 10, kPink + 9);
    // Wing-tip lights blink in turn.
    c.Set(1, 4, f % 2 ? kRed + 6 : kRed + 14);
    c.Set(14, 4, f % 2 ? kGreen + 14 : kGreen + 6);
    OutlineOutside(&c, m, kNavy + 1);
    // Engine glow at the tail (the top).
    c.Set(7, 0, kOrange + 13, f % 2 ? 192 : 128);
    c.Set(8, 0, kOrange + 13, f % 2 ? 192 : 128);
    if (f % 2) {
      c.Set(6, 0, kOrange + 10, 64);
      c.Set(9, 0, kOrange + 10, 64);
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Spinner: a green ring with three curved blades around a glowing core,
// 24x24, 8 frames covering a third of a turn (the shape repeats every 120
// degrees, so the loop is seamless).
void Spinner(std::vector<Sheet>* sheets) {
  Sheet sheet("spinner", 24, 24, 8);
  for (int f = 0; f < 8; ++f) {
    double rot = f * (2 * kPi / 3) / 8;
    Canvas c(24, 24);
    Mask ring(24, 24), blades(24, 24);
    ring.Fill([](double x, double y) {
      double r = std::hypot(x - 12, y - 12);
      return r <= 10.8 && r >= 7.6;
    });
    blades.Fill([rot](double x, double y) {
      double dx = x - 12, dy = y - 12, r = std::hypot(dx, dy);
      if (r > 8.2 || r < 3.0) return false;
      double a = std::atan2(dy, dx) - rot - r * 0.16;
      for (int k = 0; k < 3; ++k) {
        double d = std::remainder(a - k * 2 * kPi / 3, 2 * kPi);
        if (std::abs(d) < 0.36) return true;
      }
      return false;
    });
    Light l;
    l.bevel = 2.0;
    ShadeMask(&c, blades, kGreen, 3, 12, -1, l);
    ShadeMask(&c, ring, kGreen, 2, 14, -1, l);
    // Notches on the ring turn with the blades so the spin reads.
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        if (!ring.At(x, y)) continue;
        double a = std::atan2(y + 0.5 - 12, x + 0.5 - 12) - rot;
        for (int k = 0; k < 6; ++k)
          if (std::abs(std::remainder(a - k * kPi / 3, 2 * kPi)) < 0.17) c.Set(x, y, kTeal + 11);
      }
    double pulse = 0.5 + 0.5 * std::cos(f * 2 * kPi / 8);
    Ball(&c, 12, 12, 3.2, 3.2, {kGrey + 15, kYellow + 14, kGreen + 14, kGreen + 12}, 0);
    if (pulse > 0.5) {
      c.Set(11, 11, kGrey + 15);
      c.Set(12, 11, kGrey + 15);
    }
    OutlineOutside(&c, Union(ring, blades), kNavy + 1);
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Gunship: a heavy bronze ship with two gun pods, 32x32, 4 frames of engine
// flicker and a pulsing bridge light.
void Gunship(std::vector<Sheet>* sheets) {
  Sheet sheet("gunship", 32, 32, 4);
  auto tf = [](double x, double y) -> std::array<double, 2> { return {16 + x, 16 + y}; };
  const Pts body = {{0, 14.5}, {4.5, 10}, {6, -2}, {4.5, -12}, {-4.5, -12}, {-6, -2}, {-4.5, 10}};
  const Pts wing = {{-10, -5}, {10, -5}, {11, 3}, {-11, 3}};
  for (int f = 0; f < 4; ++f) {
    Canvas c(32, 32);
    Mask w(32, 32), pods(32, 32), guns(32, 32), hull(32, 32);
    w.Polygon(Map(wing, tf));
    pods.Ellipse(16 - 10.5, 15, 4.2, 9.5);
    pods.Ellipse(16 + 10.5, 15, 4.2, 9.5);
    guns.Polygon(Map({{-11.5, 7}, {-9.5, 7}, {-9.5, 14.8}, {-11.5, 14.8}}, tf));
    guns.Polygon(Map({{9.5, 7}, {11.5, 7}, {11.5, 14.8}, {9.5, 14.8}}, tf));
    hull.Polygon(Map(body, tf));
    Light l;
    l.bevel = 2.5;
    ShadeMask(&c, w, kSteel, 2, 10, -1, l);
    ShadeMask(&c, guns, kSteel, 4, 13, -1, l);
    l.bevel = 3.0;
    ShadeMask(&c, pods, kRust, 3, 13, -1, l);
    // Ribs across the pods.
    for (int y = 9; y <= 21; y += 4)
      for (int x = 0; x < 32; ++x)
        if (pods.At(x, y) && pods.At(x, y - 2) && pods.At(x, y + 2))
          c.Set(x, y, std::max(c.IndexAt(x, y) - 3, kRust + 2));
    ShadeMask(&c, hull, kBronze, 3, 15, -1, l);
    // Panel seams, a dark spine and the canopy.
    for (int x = 13; x <= 18; ++x) c.Set(x, 12, kBronze + 5);
    for (int x = 12; x <= 19; ++x) c.Set(x, 4, kBronze + 6);
    for (int y = 5; y <= 11; ++y) c.Set(16, y, kBronze + 6);
    Mask canopy(32, 32);
    canopy.Ellipse(16, 25.5, 2.2, 3.0);
    Light cl;
    cl.bevel = 1.5;
    cl.gloss = 0.9;
    ShadeMask(&c, canopy, kTeal, 3, 15, -1, cl);
    int light = (f == 0 || f == 3) ? kRed + 14 : kRed + 10;
    c.Set(15, 17, light);
    c.Set(16, 17, light);
    c.Set(15, 18, kRed + 8);
    c.Set(16, 18, kRed + 8);
    c.Set(5, 15, kYellow + 13);
    c.Set(26, 15, kYellow + 13);
    Mask all = Union(Union(Union(w, pods), guns), hull);
    OutlineOutside(&c, all, kNavy + 1);
    // Engines at the back of the pods.
    int g = (f % 2) ? 192 : 128;
    for (int side = -1; side <= 1; side += 2) {
      int ex = 16 + side * 10 - (side < 0 ? 1 : 0);
      c.Set(ex, 4, kYellow + 14);
      c.Set(ex + 1, 4, kYellow + 14);
      c.Set(ex, 3, kOrange + 13, g);
      c.Set(ex + 1, 3, kOrange + 13, g);
      c.Set(ex, 2, kOrange + 11, 128);
      c.Set(ex + 1, 2, kOrange + 11, f % 2 ? 128 : 64);
      if (f % 2) c.Set(ex, 1, kRed + 12, 64);
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Mine: a spiked steel orb with a pulsing red eye, 16x16, 6 frames (the
// eight spikes turn an eighth of a turn over the loop).
void Mine(std::vector<Sheet>* sheets) {
  Sheet sheet("mine", 16, 16, 6);
  for (int f = 0; f < 6; ++f) {
    double rot = f * (kPi / 4) / 6;
    Canvas c(16, 16);
    Mask spikes(16, 16), core(16, 16);
    spikes.Fill([rot](double x, double y) {
      double dx = x - 8, dy = y - 8, r = std::hypot(dx, dy);
      if (r > 7.6) return false;
      double a = std::atan2(dy, dx) - rot;
      double d = std::abs(std::remainder(a, kPi / 4));
      return d < 0.30 * (7.6 - r) / 3.0;
    });
    core.Ellipse(8, 8, 4.6, 4.6);
    Light l;
    l.bevel = 1.5;
    ShadeMask(&c, spikes, kSteel, 4, 14, -1, l);
    l.bevel = 2.5;
    ShadeMask(&c, core, kSteel, 2, 12, -1, l);
    double pulse = 0.5 - 0.5 * std::cos(f * 2 * kPi / 6);
    int eye = kRed + 9 + static_cast<int>(pulse * 6);
    Ball(&c, 8, 8, 1.9, 1.9, {std::min(eye + 1, kRed + 15), eye, eye - 2}, 0);
    OutlineOutside(&c, Union(spikes, core), kNavy + 1);
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// The carrier: a 128x80 capital ship pointing down, with four turret
// sockets (at (24, 20), (104, 20), (44, 48) and (84, 48)) and its weak point,
// the glowing core at (64, 54). Frame 1 blinks the running lights.
void Carrier(std::vector<Sheet>* sheets) {
  Sheet sheet("carrier", 128, 80, 2);
  auto tf = [](double x, double y) -> std::array<double, 2> { return {64 + x, 40 + y}; };
  const Pts hull_half = {{0, 38.5}, {14, 31},  {26, 17},  {30, -3},    {58, -9},
                         {63, -21}, {42, -29}, {24, -29}, {17, -37.5}, {0, -37.5}};
  Pts hull = hull_half;
  for (auto it = hull_half.rbegin() + 1; it + 1 != hull_half.rend(); ++it)
    hull.push_back({-(*it)[0], (*it)[1]});
  const Pts deck = {{0, 24}, {10, 12}, {12, -20}, {7, -27}, {-7, -27}, {-12, -20}, {-10, 12}};
  for (int f = 0; f < 2; ++f) {
    Canvas c(128, 80);
    Mask m(128, 80), top(128, 80);
    m.Polygon(Map(hull, tf));
    top.Polygon(Map(deck, tf));
    Light l;
    l.bevel = 4.0;
    l.ambient = 0.28;
    ShadeMask(&c, m, kOlive, 3, 12, -1, l);
    // Hull plating: seams every 8 rows and hashed greebles.
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 128; ++x) {
        if (!m.At(x, y) || !m.At(x, y - 3) || !m.At(x, y + 3) || !m.At(x - 3, y) || !m.At(x + 3, y))
          continue;
        int i = c.IndexAt(x, y);
        if (y % 8 == 0 && (x / 16) % 2 == 0) c.Set(x, y, std::max(i - 3, kOlive + 1));
        std::uint32_t h = Hash(x / 3, y / 3, 77);
        if (h % 23 == 0) c.Set(x, y, std::min(i + 2, kOlive + 14));
        if (h % 31 == 1) c.Set(x, y, std::max(i - 2, kOlive + 1));
      }
    l.bevel = 3.0;
    l.gloss = 0.45;
    ShadeMask(&c, top, kSteel, 4, 14, -1, l);
    // Deck windows down the superstructure.
    for (int y = 16; y <= 44; y += 5) {
      c.Set(63, y, kTeal + 12);
      c.Set(64, y, kTeal + 10);
    }
    // Turret sockets.
    const int sockets[4][2] = {{24, 20}, {104, 20}, {44, 48}, {84, 48}};
    for (const auto& s : sockets) {
      Mask ring(128, 80), hole(128, 80);
      ring.Ellipse(s[0], s[1], 7.5, 7.5);
      hole.Ellipse(s[0], s[1], 5.5, 5.5);
      for (std::size_t i = 0; i < ring.on.size(); ++i) ring.on[i] = ring.on[i] && !hole.on[i];
      Light sl;
      sl.bevel = 1.5;
      sl.lx = 0.55;
      sl.ly = 0.65;  // lit from inside: a recess
      ShadeMask(&c, ring, kOlive, 2, 10, -1, sl);
      ShadeMask(&c, hole, kSteel, 1, 4, -1, sl);
    }
    // Hangar mouth at the bow, with guide lights.
    for (int y = 66; y <= 72; ++y)
      for (int x = 58; x <= 69; ++x)
        if (m.At(x, y + 2)) c.Set(x, y, y == 66 ? kOlive + 2 : kNavy + 2);
    for (int x = 58; x <= 69; x += 3) c.Set(x, 73, f ? kYellow + 8 : kYellow + 14);
    // The core: the weak point.
    Ball(&c, 64, 54.5, 4.6, 4.6, {kGrey + 15, kPink + 14, kRed + 14, kRed + 12, kRed + 9}, 0);
    // Engine bank at the stern.
    for (int e = 0; e < 4; ++e) {
      int ex = 52 + e * 8;
      for (int x = ex; x < ex + 4; ++x) {
        c.Set(x, 2, kSteel + 3);
        c.Set(x, 3, kSteel + 5);
      }
    }
    // Running lights on the wing tips.
    c.Set(2, 19, f ? kRed + 6 : kRed + 15);
    c.Set(125, 19, f ? kGreen + 6 : kGreen + 15);
    c.Set(22, 11, f ? kYellow + 6 : kYellow + 15);
    c.Set(105, 11, f ? kYellow + 15 : kYellow + 6);
    OutlineOutside(&c, Union(m, top), kNavy + 1);
    for (int e = 0; e < 4; ++e) {
      int ex = 52 + e * 8;
      for (int x = ex; x < ex + 4; ++x) {
        c.Set(x, 1, kOrange + 13, f ? 192 : 128);
        c.Set(x, 0, kOrange + 10, f ? 128 : 64);
      }
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Turret: a round base with twin barrels, 16x16; frames 0-15 aim in the
// sixteen directions (frame k at k * 22.5 degrees, 0 right, 4 down), frame 16
// is the burnt-out wreck.
void Turret(std::vector<Sheet>* sheets) {
  Sheet sheet("turret", 16, 16, 17, 17);
  for (int f = 0; f < 17; ++f) {
    Canvas c(16, 16);
    Mask base(16, 16), barrels(16, 16);
    base.Ellipse(8, 8, 5.2, 5.2);
    if (f < 16) {
      double a = f * kPi / 8, ca = std::cos(a), sa = std::sin(a);
      barrels.Fill([ca, sa](double x, double y) {
        double dx = x - 8, dy = y - 8;
        double along = dx * ca + dy * sa, across = -dx * sa + dy * ca;
        return along > 1.0 && along < 7.8 && std::abs(std::abs(across) - 1.3) < 0.75;
      });
      Light l;
      l.bevel = 2.5;
      ShadeMask(&c, base, kSteel, 3, 13, -1, l);
      l.bevel = 1.0;
      ShadeMask(&c, barrels, kSteel, 6, 15, -1, l);
      Ball(&c, 8, 8, 1.8, 1.8, {kOrange + 14, kOrange + 11, kRed + 10}, 0);
      OutlineOutside(&c, Union(base, barrels), kNavy + 1);
    } else {
      Light l;
      l.bevel = 2.0;
      ShadeMask(&c, base, kGrey, 2, 6, -1, l);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          if (!base.At(x, y)) continue;
          std::uint32_t h = Hash(x, y, 5);
          if (h % 7 == 0)
            c.Set(x, y, kOrange + 9 + static_cast<int>(h % 5));
          else if (h % 5 == 0)
            c.Set(x, y, kGrey + 1);
        }
      OutlineOutside(&c, base, kNavy + 1);
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Enemy bullets, 16x16 cells centred at (8, 8): 0-1 small pink, 2-3 orange
// ball, 4-5 cyan pellet, 6-9 large violet orb.
void EnemyBullets(std::vector<Sheet>* sheets) {
  Sheet sheet("ebullet", 16, 16, 10);
  for (int f = 0; f < 2; ++f) {
    Canvas c(16, 16);
    Ball(&c, 8, 8, 2.6, 4.4 + f, {kGrey + 15, kPink + 14, kPink + 12, kPink + 10}, kPink + 12);
    sheet.Put(f, c);
  }
  for (int f = 0; f < 2; ++f) {
    Canvas c(16, 16);
    Ball(&c, 8, 8, 3.7, 5.8 + f * 0.8,
         {kYellow + 15, kYellow + 13, kOrange + 13, kOrange + 11, kRed + 12}, kOrange + 12);
    sheet.Put(2 + f, c);
  }
  for (int f = 0; f < 2; ++f) {
    Canvas c(16, 16);
    Ball(&c, 8, 8, 2.1, 3.6 + f * 0.6, {kGrey + 15, kTeal + 14, kTeal + 11}, kTeal + 12);
    sheet.Put(4 + f, c);
  }
  for (int f = 0; f < 4; ++f) {
    Canvas c(16, 16);
    double pulse = 0.5 - 0.5 * std::cos(f * kPi / 2);
    Ball(&c, 8, 8, 5.0, 7.2 + pulse,
         {kGrey + 15, kViolet + 15, kViolet + 13, kViolet + 12, kViolet + 10, kViolet + 8},
         kViolet + 13, 0.7 + pulse * 0.3);
    sheet.Put(6 + f, c);
  }
  sheets->push_back(std::move(sheet));
}

// --- Effects -------------------------------------------------------------------

// One fireball frame at time t (0..1): a noisy hot core that grows, cools
// through yellow, orange and red, and breaks up into blended embers.
Canvas Fireball(int size, double t, std::uint32_t seed, bool shock) {
  Canvas c(size, size);
  double mid = size / 2.0;
  double radius = size * 0.47 * (0.28 + 0.72 * std::sqrt(t));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double dx = x + 0.5 - mid, dy = y + 0.5 - mid;
      double d = std::sqrt(dx * dx + dy * dy) / radius;
      double n = Fbm(x + seed * 13.0, y - t * size * 0.35, size / 4.5, seed);
      double heat = (1 - d) * 2.3 - 0.3 + (n - 0.5) * 1.5 - t * 1.45;
      if (heat <= 0.04) {
        // A thin blended shock ring around the big blasts.
        double ring = std::abs(d - 1.15);
        if (shock && t < 0.6 && ring < 0.07 && n > 0.35)
          c.Set(x, y, t < 0.3 ? kOrange + 14 : kRed + 14, t < 0.3 ? 128 : 64);
        else if (t > 0.45 && heat > -0.25 && n > 0.52)
          c.Set(x, y, kRust + 9, 64);  // smoke
        continue;
      }
      if (heat > 1.25)
        c.Set(x, y, kGrey + 15);
      else if (heat > 0.95)
        c.Set(x, y, kYellow + 13);
      else if (heat > 0.7)
        c.Set(x, y, kOrange + 14, t < 0.5 ? 255 : 192);
      else if (heat > 0.48)
        c.Set(x, y, kOrange + 11, 192);
      else if (heat > 0.3)
        c.Set(x, y, kRed + 13, 128);
      else if (heat > 0.15)
        c.Set(x, y, kRed + 11, 128);
      else
        c.Set(x, y, kRed + 10, 64);
    }
  // Debris: bright flecks flying out.
  if (t < 0.85)
    for (int k = 0; k < 7; ++k) {
      double a = (Hash(seed, k) % 628) / 100.0;
      double r = radius * (0.6 + 0.9 * t) * (0.8 + (Hash(seed, k, 1) % 40) / 100.0);
      int px = static_cast<int>(mid + std::cos(a) * r),
          py = static_cast<int>(mid + std::sin(a) * r);
      c.Set(px, py, t < 0.4 ? kYellow + 15 : kOrange + 13);
      if (size > 40) c.Set(px + 1, py, kOrange + 12, 128);
    }
  return c;
}

void Explosions(std::vector<Sheet>* sheets) {
  Sheet small("explode", 32, 32, 10);
  for (int f = 0; f < 10; ++f) small.Put(f, Fireball(32, (f + 0.5) / 10.0, 11, false));
  sheets->push_back(std::move(small));
  Sheet big("explode_big", 64, 64, 10, 5);
  for (int f = 0; f < 10; ++f) big.Put(f, Fireball(64, (f + 0.5) / 10.0, 23, true));
  sheets->push_back(std::move(big));
}

// Hit spark: a four-pointed flash that shrinks, 12x12, 4 frames.
void Spark(std::vector<Sheet>* sheets) {
  Sheet sheet("spark", 12, 12, 4);
  for (int f = 0; f < 4; ++f) {
    Canvas c(12, 12);
    int len = 5 - f;
    for (int i = 1; i <= len; ++i) {
      int a = i <= 1 ? 255 : (i <= 2 ? 192 : (i <= 3 ? 128 : 64));
      int col = i <= 2 ? kYellow + 15 : kYellow + 12;
      c.Set(6 + i, 6, col, a);
      c.Set(6 - i, 6, col, a);
      c.Set(6, 6 + i, col, a);
      c.Set(6, 6 - i, col, a);
      if (i * 2 <= len + 1) {
        c.Set(6 + i, 6 + i, kOrange + 13, 64);
        c.Set(6 - i, 6 - i, kOrange + 13, 64);
        c.Set(6 + i, 6 - i, kOrange + 13, 64);
        c.Set(6 - i, 6 + i, kOrange + 13, 64);
      }
    }
    c.Set(6, 6, f < 3 ? kGrey + 15 : kYellow + 12, f < 3 ? 255 : 128);
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// The bomb's shockwave: a blended cyan ring expanding over 8 frames in a
// 160x160 cell, with a soft inner wake.
void Shockwave(std::vector<Sheet>* sheets) {
  Sheet sheet("shockwave", 160, 160, 8, 4);
  for (int f = 0; f < 8; ++f) {
    Canvas c(160, 160);
    double r = 12 + f * 9.4;
    double fade = 1.0 - f / 10.0;
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 160; ++x) {
        double dx = x + 0.5 - 80, dy = y + 0.5 - 80;
        double d = std::sqrt(dx * dx + dy * dy);
        double wobble = (Noise(std::atan2(dy, dx) * 20 + 40, f * 3.0, 3.0, 9) - 0.5) * 2.0;
        double e = d - r - wobble;
        double wake = 12 + f * 2.5;
        if (e > 1.5 || e < -wake) continue;
        if (e > -1.5)
          c.Set(x, y, f < 4 ? kGrey + 15 : kTeal + 15, AlphaStep(fade));
        else if (e > -4.0)
          c.Set(x, y, kTeal + 14, AlphaStep(0.75 * fade));
        else {
          static const int bayer[4][4] = {
              {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
          double t = 1.0 + e / wake;
          int a = AlphaStep(0.62 * t * fade + (bayer[y % 4][x % 4] / 16.0 - 0.47) * 0.2, 0.14);
          if (a) c.Set(x, y, kBlue + 13, a);
        }
      }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// --- Background ---------------------------------------------------------------

// Far star field tiles, 80x80, four variants: dim blue and grey points, a few
// bright ones with a cross-shaped glint. Stars keep 2 pixels from the edges so
// tiles join without cut glints.
void StarTiles(std::vector<Sheet>* sheets) {
  Sheet sheet("stars", 80, 80, 4);
  for (int f = 0; f < 4; ++f) {
    Canvas c(80, 80);
    for (int k = 0; k < 26; ++k) {
      std::uint32_t h = Hash(f, k, 3);
      int x = 2 + static_cast<int>(h % 76), y = 2 + static_cast<int>((h >> 8) % 76);
      int kind = static_cast<int>((h >> 16) % 20);
      if (kind < 11) {
        c.Set(x, y, (kind % 2) ? kNavy + 8 + kind % 4 : kGrey + 5 + kind % 4);
      } else if (kind < 18) {
        c.Set(x, y, (kind % 2) ? kNavy + 13 : kGrey + 11);
      } else {
        c.Set(x, y, kGrey + 15);
        c.Set(x - 1, y, kNavy + 12);
        c.Set(x + 1, y, kNavy + 12);
        c.Set(x, y - 1, kNavy + 12);
        c.Set(x, y + 1, kNavy + 12);
      }
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Near stars: one bright twinkling star, 8x8, 4 frames.
void NearStar(std::vector<Sheet>* sheets) {
  Sheet sheet("nearstar", 8, 8, 4);
  for (int f = 0; f < 4; ++f) {
    Canvas c(8, 8);
    c.Set(4, 4, kGrey + 15);
    int arm = (f == 1) ? 3 : (f == 3 ? 0 : 1);
    for (int i = 1; i <= arm; ++i) {
      int a = i == 1 ? 192 : (i == 2 ? 128 : 64);
      c.Set(4 + i, 4, kBlue + 14, a);
      c.Set(4 - i, 4, kBlue + 14, a);
      c.Set(4, 4 + i, kBlue + 14, a);
      c.Set(4, 4 - i, kBlue + 14, a);
    }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Nebula pieces: soft blended clouds, 128x96, three colour schemes.
void Nebulae(std::vector<Sheet>* sheets) {
  Sheet sheet("nebula", 128, 96, 3);
  const int colours[3][3] = {{kViolet + 9, kViolet + 12, kPink + 13},
                             {kNavy + 10, kBlue + 11, kTeal + 12},
                             {kPink + 10, kViolet + 11, kBlue + 12}};
  for (int f = 0; f < 3; ++f) {
    Canvas c(128, 96);
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 128; ++x) {
        double dx = (x + 0.5 - 64) / 62.0, dy = (y + 0.5 - 48) / 46.0;
        double fall = 1.0 - (dx * dx + dy * dy);
        if (fall <= 0) continue;
        double n = Fbm(x, y, 34.0, 100 + f * 7);
        double wisp = Fbm(x * 1.7, y * 0.8, 20.0, 200 + f * 7);
        static const int bayer[4][4] = {
            {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
        double density = (n * 1.25 - 0.42) * std::sqrt(fall) + (wisp - 0.5) * 0.22 +
                         (bayer[y % 4][x % 4] / 16.0 - 0.47) * 0.09;
        if (density < 0.12) continue;
        int level = density > 0.42 ? 2 : (density > 0.26 ? 1 : 0);
        int a = density > 0.5 ? 128 : 64;
        c.Set(x, y, colours[f][level], a);
      }
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// The moon: a cratered grey sphere lit from the upper left, 96x96, its night
// side deep blue so it hides the stars behind it.
void Moon(std::vector<Sheet>* sheets) {
  Sheet sheet("moon", 96, 96, 1);
  Canvas c(96, 96);
  const double R = 44.0, lx = -0.62, ly = -0.48, lz = 0.62;
  struct Crater {
    double x, y, r;
  };
  std::vector<Crater> craters;
  for (int k = 0; k < 26; ++k) {
    std::uint32_t h = Hash(k, 37);
    double a = (h % 628) / 100.0, d = std::sqrt(((h >> 10) % 100) / 100.0) * 0.88;
    double r = k < 4 ? 6.5 + (h >> 20) % 30 / 10.0 : 1.6 + ((h >> 20) % 25) / 10.0;
    r *= 1.0 - d * 0.45;  // foreshortened towards the limb
    craters.push_back({48 + std::cos(a) * d * R, 48 + std::sin(a) * d * R, r});
  }
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      double dx = (x + 0.5 - 48) / R, dy = (y + 0.5 - 48) / R;
      double rr = dx * dx + dy * dy;
      if (rr > 1.0) continue;
      double dz = std::sqrt(1.0 - rr);
      double nx = dx, ny = dy, nz = dz;
      double shade = 0.0;
      for (const Crater& cr : craters) {
        double cx = (x + 0.5 - cr.x) / cr.r, cy = (y + 0.5 - cr.y) / cr.r;
        double q = cx * cx + cy * cy;
        if (q < 1.0) {  // bowl: normal tilted towards the centre
          nx -= cx * 0.55;
          ny -= cy * 0.55;
          shade -= 0.06;
        } else if (q < 1.35) {  // rim: tilted outwards
          nx += cx * 0.18;
          ny += cy * 0.18;
        }
      }
      double nn = std::sqrt(nx * nx + ny * ny + nz * nz);
      double lit = (nx * lx + ny * ly + nz * lz) / nn;
      double maria = Fbm(x, y, 26.0, 61);
      double albedo = 0.85 - std::max(0.0, maria - 0.5) * 0.9 + shade;
      double v = lit * albedo;
      if (v <= 0.02) {
        c.Set(x, y, kNavy + (rr > 0.93 ? 2 : 1));
      } else {
        int i = 2 + static_cast<int>(v * 13.5);
        c.Set(x, y, kSteel + std::clamp(i, 2, 15));
      }
    }
  sheet.Put(0, c);
  sheets->push_back(std::move(sheet));
}

// Drifting rocks for the middle layer: an irregular rusty lump, 24x24, eight
// frames of a full turn.
void Rock(std::vector<Sheet>* sheets) {
  Sheet sheet("rock", 24, 24, 8);
  double radii[12];
  for (int k = 0; k < 12; ++k) radii[k] = 7.5 + (Hash(k, 41) % 30) / 10.0;
  for (int f = 0; f < 8; ++f) {
    double rot = f * kPi / 4;
    Canvas c(24, 24);
    Mask m(24, 24);
    m.Fill([&](double x, double y) {
      double dx = x - 12, dy = y - 12;
      double a = std::atan2(dy, dx) - rot;
      a = std::fmod(a + 4 * kPi, 2 * kPi) / (2 * kPi) * 12;
      int i = static_cast<int>(a) % 12;
      double t = a - std::floor(a);
      double r = radii[i] + (radii[(i + 1) % 12] - radii[i]) * t;
      return std::hypot(dx, dy) < r;
    });
    Light l;
    l.bevel = 4.0;
    l.gloss = 0.1;
    ShadeMask(&c, m, kRust, 2, 12, -1, l);
    for (int k = 0; k < 4; ++k) {
      double a = k * 1.7 + rot, d = 2.0 + k * 1.3;
      int px = static_cast<int>(12 + std::cos(a) * d), py = static_cast<int>(12 + std::sin(a) * d);
      if (m.At(px, py) && m.At(px + 1, py + 1)) {
        c.Set(px, py, kRust + 3);
        c.Set(px + 1, py + 1, kRust + 9);
      }
    }
    OutlineOutside(&c, m, kNavy + 1);
    sheet.Put(f, c);
  }
  sheets->push_back(std::move(sheet));
}

// Power-up capsules, 14x14: 0-5 "P" (shot power, blue), 6-11 "B" (bomb,
// orange); a sheen sweeps across over the six frames.
void Items(std::vector<Sheet>* sheets) {
  Sheet sheet("item", 14, 14, 12, 6);
  for (int kind = 0; kind < 2; ++kind) {
    int ramp = kind ? kOrange : kBlue;
    char letter = kind ? 'B' : 'P';
    for (int f = 0; f < 6; ++f) {
      Canvas c(14, 14);
      Mask m(14, 14);
      m.Fill([](double x, double y) {
        double dx = std::max(std::abs(x - 7) - 3.0, 0.0), dy = std::max(std::abs(y - 7) - 3.0, 0.0);
        return dx * dx + dy * dy < 9.0;
      });
      Light l;
      l.bevel = 2.5;
      ShadeMask(&c, m, ramp, 4, 14, -1, l);
      for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
          if (m.At(x, y) && (x + y) / 2 == f * 3 - 1) c.Set(x, y, kGrey + 15);
      const char* g = Glyph(letter);
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
          if (g[y * 6 + x] == '#') {
            c.Set(5 + x, 4 + y, ramp + 2);
            c.Set(4 + x, 3 + y, kGrey + 15);
          }
      OutlineOutside(&c, m, kNavy + 1);
      Glow(&c, m, ramp + 12, 1.5, f % 2 ? 0.7 : 0.45);
      sheet.Put(kind * 6 + f, c);
    }
  }
  sheets->push_back(std::move(sheet));
}

// HUD pieces, 10x10 cells: 0 a life (a small ship), 1 a bomb, 2 and 3 a lit
// and an unlit power-bar segment, 4 a boss-bar segment, 5 the dot and 7 the
// ring of the input display, 6 nothing at all (for invisible helpers).
void Hud(std::vector<Sheet>* sheets) {
  Sheet sheet("hud", 10, 10, 8);
  Canvas life(10, 10);
  const char* ship[8] = {"...##...", "...##...", "..####..", ".######.",
                         "########", "##.##.##", "...##...", "........"};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (ship[y][x] == '#')
        life.Set(x + 1, y + 1, y < 3 ? kSteel + 14 : (x == 3 || x == 4 ? kTeal + 12 : kSteel + 10));
  sheet.Put(0, life);
  Canvas bomb(10, 10);
  Mask m(10, 10);
  m.Ellipse(4.8, 5.4, 3.2, 3.2);
  Light l;
  l.bevel = 1.5;
  l.gloss = 0.8;
  ShadeMask(&bomb, m, kOrange, 4, 15, -1, l);
  bomb.Set(7, 1, kYellow + 15);
  bomb.Set(6, 2, kSteel + 10);
  sheet.Put(1, bomb);
  Canvas lit(10, 10), unlit(10, 10), boss(10, 10);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 2; ++x) {
      lit.Set(x, y, y < 2 ? kBlue + 14 : kBlue + 11 - y / 2);
      unlit.Set(x, y, kNavy + 4);
      if (y < 5) boss.Set(x, y, y < 2 ? kYellow + 13 : kOrange + 12 - y);
    }
  sheet.Put(2, lit);
  sheet.Put(3, unlit);
  sheet.Put(4, boss);
  Canvas dot(10, 10);
  for (int y = 3; y <= 6; ++y)
    for (int x = 3; x <= 6; ++x)
      if ((x != 3 && x != 6) || (y != 3 && y != 6))
        dot.Set(x, y, x + y < 9 ? kGrey + 15 : kBlue + 12);
  sheet.Put(5, dot);
  sheet.Put(6, Canvas(10, 10));
  Canvas ring(10, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      double d = std::hypot(x + 0.5 - 5, y + 0.5 - 5);
      if (d > 3.9 && d < 5.0) ring.Set(x, y, kSteel + 7);
    }
  sheet.Put(7, ring);
  sheets->push_back(std::move(sheet));
}

// Warning band: a blended red and yellow hazard stripe, 32x12, tiling
// horizontally.
void WarningBand(std::vector<Sheet>* sheets) {
  Sheet sheet("warning", 32, 12, 1);
  Canvas c(32, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 32; ++x) {
      bool edge = y == 0 || y == 11;
      bool stripe = ((x + y) / 8) % 2 == 0;
      if (edge)
        c.Set(x, y, kRed + 13, 192);
      else
        c.Set(x, y, stripe ? kYellow + 12 : kRed + 11, stripe ? 128 : 64);
    }
  sheet.Put(0, c);
  sheets->push_back(std::move(sheet));
}

}  // namespace

void MakeSprites(std::vector<Sheet>* sheets) {
  Player(sheets);
  Flame(sheets);
  PlayerShots(sheets);
  Dart(sheets);
  Spinner(sheets);
  Gunship(sheets);
  Mine(sheets);
  Carrier(sheets);
  Turret(sheets);
  EnemyBullets(sheets);
  Explosions(sheets);
  Spark(sheets);
  Shockwave(sheets);
  StarTiles(sheets);
  NearStar(sheets);
  Nebulae(sheets);
  Moon(sheets);
  Rock(sheets);
  Items(sheets);
  Hud(sheets);
  WarningBand(sheets);
}

}  // namespace demo_art
