// The demo's sounds, synthesised like an 8-bit console would: square waves,
// a shift-register noise whose pitch is its hold period, simple envelopes.
// The music loop renders its note tails around the loop point so it repeats
// without a click.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace demo_art {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Samples(double seconds) { return static_cast<int>(seconds * kRate); }

// A 15-bit LFSR, the noise channel of old sound chips.
class Lfsr {
 public:
  double Next() {
    int bit = (reg_ ^ (reg_ >> 1)) & 1;
    reg_ = (reg_ >> 1) | (bit << 14);
    return (reg_ & 1) ? 1.0 : -1.0;
  }

 private:
  int reg_ = 0x4A3B;
};

double Square(double phase, double duty) { return std::fmod(phase, 1.0) < duty ? 1.0 : -1.0; }

// Adds a square tone gliding from f0 to f1 (exponentially) with a linear
// attack of `attack` seconds and an exponential decay.
void Tone(std::vector<double>* out, double start, double length, double f0, double f1, double amp,
          double duty = 0.5, double decay = 4.0, double attack = 0.003, bool wrap = false) {
  double phase = 0;
  int n = Samples(length), s0 = Samples(start);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / n;
    double f = f0 * std::pow(f1 / f0, t);
    phase += f / kRate;
    double env = std::min(1.0, (i / double(kRate)) / attack) * std::exp(-decay * t);
    std::size_t at = static_cast<std::size_t>(s0 + i);
    if (wrap) at %= out->size();
    if (at >= out->size()) out->resize(at + 1, 0.0);
    (*out)[at] += amp * env * Square(phase, duty);
  }
}

// Adds noise whose hold period (in samples) runs from p0 to p1: short
// periods hiss, long ones rumble.
void Noise(std::vector<double>* out, double start, double length, double p0, double p1, double amp,
           double decay = 4.0, bool wrap = false) {
  Lfsr lfsr;
  double held = 0, count = 0;
  int n = Samples(length), s0 = Samples(start);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / n;
    double period = p0 + (p1 - p0) * t;
    if (--count <= 0) {
      held = lfsr.Next();
      count = period;
    }
    double env = std::exp(-decay * t) * std::min(1.0, i / 30.0);
    std::size_t at = static_cast<std::size_t>(s0 + i);
    if (wrap) at %= out->size();
    if (at >= out->size()) out->resize(at + 1, 0.0);
    (*out)[at] += amp * env * held;
  }
}

double Note(int semitones_from_a4) { return 440.0 * std::pow(2.0, semitones_from_a4 / 12.0); }

std::vector<double> Music() {
  // 120 beats a minute, sixteenth notes, four bars: A minor, F, G, E.
  const double step = 0.125;
  std::vector<double> out(Samples(64 * step), 0.0);
  const int roots[4] = {-24, -28, -26, -29};  // A2, F2, G2, E2
  const int chords[4][3] = {{0, 3, 7}, {0, 4, 7}, {0, 4, 7}, {0, 4, 7}};
  for (int bar = 0; bar < 4; ++bar)
    for (int s = 0; s < 16; ++s) {
      double t = (bar * 16 + s) * step;
      int root = roots[bar];
      if (s % 2 == 0) {
        int n = root + ((s / 2) % 2 ? 12 : 0);
        Tone(&out, t, step * 1.6, Note(n), Note(n), 0.20, 0.5, 3.0, 0.004, true);
      }
      // Arpeggio two octaves up, quiet and thin.
      int arp = root + 24 + chords[bar][s % 3] + (s % 8 >= 6 ? 12 : 0);
      Tone(&out, t, step * 0.9, Note(arp), Note(arp), 0.055, 0.125, 5.0, 0.002, true);
      if (s == 0 || s == 8 || s == 10) Tone(&out, t, 0.09, 140, 40, 0.30, 0.5, 2.5, 0.001, true);
      if (s == 4 || s == 12) Noise(&out, t, 0.11, 1, 3, 0.14, 5.0, true);
      if (s % 4 == 2) Noise(&out, t, 0.035, 1, 1, 0.06, 6.0, true);
    }
  // Lead: a slow melody on the last two bars.
  const int melody[8] = {7, 5, 3, 2, 3, 5, 7, 12};
  for (int i = 0; i < 8; ++i)
    Tone(&out, 4.0 + i * 0.5, 0.46, Note(melody[i] - 12), Note(melody[i] - 12), 0.06, 0.25, 1.5,
         0.02, true);
  return out;
}

}  // namespace

void MakeSounds(std::vector<Sound>* sounds) {
  auto add = [&](const char* name, std::vector<double> s) {
    sounds->push_back({name, std::move(s)});
  };
  std::vector<double> s;

  s.clear();
  Tone(&s, 0, 0.07, 1500, 520, 0.42, 0.25, 3.0);
  Noise(&s, 0, 0.03, 1, 2, 0.10, 6.0);
  add("shot", s);

  s.clear();
  Tone(&s, 0, 0.04, 1900, 1200, 0.40, 0.5, 5.0);
  Noise(&s, 0, 0.05, 1, 1, 0.40, 7.0);
  add("hit", s);

  s.clear();
  Noise(&s, 0, 0.5, 2, 22, 0.75, 4.0);
  Tone(&s, 0, 0.15, 220, 60, 0.25, 0.5, 3.0);
  add("explode", s);

  s.clear();
  Noise(&s, 0, 1.4, 3, 48, 0.85, 3.2);
  Tone(&s, 0, 0.6, 110, 32, 0.35, 0.5, 2.5);
  Noise(&s, 0.12, 0.6, 1, 12, 0.35, 5.0);
  add("explode_big", s);

  s.clear();
  for (int i = 0; i < 10; ++i)
    Tone(&s, i * 0.055, 0.07, Note(12 - i * 3), Note(10 - i * 3), 0.28, 0.5, 2.0);
  Noise(&s, 0.25, 0.9, 2, 40, 0.55, 3.5);
  add("die", s);

  s.clear();
  Tone(&s, 0, 0.35, 140, 1400, 0.30, 0.5, 0.6);
  Noise(&s, 0.3, 1.1, 1, 30, 0.75, 3.0);
  add("bomb", s);

  s.clear();
  const int up[4] = {3, 7, 10, 15};
  for (int i = 0; i < 4; ++i)
    Tone(&s, i * 0.05, 0.07, Note(up[i] + 12), Note(up[i] + 12), 0.45, 0.5, 3.0);
  add("item", s);

  s.clear();
  for (int i = 0; i < 6; ++i)
    Tone(&s, i * 0.26, 0.25, i % 2 ? 784 : 587, i % 2 ? 740 : 554, 0.50, 0.5, 0.8, 0.01);
  add("warning", s);

  s.clear();
  Tone(&s, 0, 0.03, 1047, 1047, 0.40, 0.5, 3.0);
  add("move", s);

  s.clear();
  Tone(&s, 0, 0.05, 784, 784, 0.45, 0.5, 2.0);
  Tone(&s, 0.05, 0.12, 1568, 1568, 0.45, 0.5, 3.0);
  add("select", s);

  s.clear();
  Tone(&s, 0, 0.06, 950, 330, 0.38, 0.5, 3.0);
  add("eshot", s);

  std::vector<double> music = Music();
  for (double& v : music) v *= 1.4;
  add("music", music);
}

}  // namespace demo_art
