// Direction and tangent tables, FIXED helpers and the random generator.
#include "base/fixed.h"

#include <cmath>
#include <cstdint>

#include "base/error.h"

namespace base {

DirEntry DirTable[kDirections];
std::uint16_t TanTable[31];

namespace {

// The stored angle step: slightly more than pi/60 (T[15] is then 64).
constexpr double kStep = 0.05235987756;

FIXED ToFixedFloor(double v) {
  double i = std::floor(v);
  std::int32_t frac = static_cast<std::int32_t>((v - i) * 65536.0);
  return static_cast<FIXED>((static_cast<std::uint32_t>(static_cast<std::int32_t>(i)) << 16) |
                            static_cast<std::uint32_t>(frac));
}

// glibc's random_r (TYPE_3): r[i] = r[i-31] + r[i-3], output r >> 1.
struct Generator {
  std::uint32_t ring[31];
  int f = 3, b = 0;  // ring positions of r[i-31] and r[i-3]
  void Seed(unsigned int seed) {
    std::int32_t s[31];
    s[0] = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    for (int i = 1; i < 31; ++i) {
      // 16807 * s % 2147483647 without overflow (Schrage).
      std::int32_t hi = s[i - 1] / 127773, lo = s[i - 1] % 127773;
      std::int32_t word = 16807 * lo - 2836 * hi;
      if (word < 0) word += 2147483647;
      s[i] = word;
    }
    for (int i = 0; i < 31; ++i) ring[i] = static_cast<std::uint32_t>(s[i]);
    f = 3;
    b = 0;
    for (int i = 0; i < 310; ++i) Next();
  }
  int Next() {
    ring[f] += ring[b];
    std::uint32_t out = ring[f] >> 1;
    if (++f >= 31) f = 0;
    if (++b >= 31) b = 0;
    return static_cast<int>(out);
  }
};

Generator generator;
bool seeded = false;

}  // namespace

void SeedRandom(unsigned int seed) {
  generator.Seed(seed);
  seeded = true;
}

int NextRandom() {
  if (!seeded) SeedRandom(1);
  return generator.Next();
}

void InitDirTable() {
  for (int d = 0; d < kDirections; ++d) {
    double a = d * kStep;
    DirTable[d].cos = ToFixedFloor(std::cos(a));
    DirTable[d].sin = ToFixedFloor(std::sin(a));
  }
  DirTable[0] = {65536, 0};
  DirTable[30] = {0, 65536};
  DirTable[60] = {-65536, 0};
  DirTable[90] = {0, -65536};
  for (int i = 0; i < 30; ++i) TanTable[i] = static_cast<std::uint16_t>(std::tan(i * kStep) * 64.0);
  TanTable[30] = 65535;
}

int ToFIXED(int whole, int hundredths) {
  return static_cast<int>((static_cast<std::uint32_t>(whole) << 16) |
                          static_cast<std::uint32_t>(hundredths * 655));
}

int GetDirX(unsigned char dir, int length) {
  if (dir >= kDirections) dir %= kDirections;
  return (length * DirTable[dir].cos) >> 16;
}

int GetDirY(unsigned char dir, int length) {
  if (dir >= kDirections) dir %= kDirections;
  return (length * DirTable[dir].sin) >> 16;
}

int GetRand(int low, int high) {
  int r = NextRandom();
  int span = static_cast<int>(static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low));
  if (span == 0 || span == -1) return low;
  return low + r % span;
}

int Mod(int a, int b) {
  if (b == 0) Fail("Mod", "division by zero");
  if (b == -1) return 0;
  return a % b;
}

void SetSeed(unsigned int seed) { SeedRandom(seed); }

}  // namespace base
