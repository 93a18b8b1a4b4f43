// FIXED 16.16 numbers, the 120-direction table, the tangent table of the
// direction queries, and the script's arithmetic helpers. Both tables are
// built once at start-up and read-only afterwards.
#pragma once
#include <cstdint>

namespace base {

typedef std::int32_t FIXED;

struct DirEntry {
  FIXED cos;
  FIXED sin;
};

constexpr int kDirections = 120;
extern DirEntry DirTable[kDirections];
// T[i] = tan(i * step) * 64 for i < 30, T[30] = 65535 (see TangentIndex).
extern std::uint16_t TanTable[31];

void InitDirTable();

int ToFIXED(int whole, int hundredths);
int GetDirX(unsigned char dir, int length);
int GetDirY(unsigned char dir, int length);

// low + r % (high - low); equal bounds give low.
int GetRand(int low, int high);
// Remainder with the sign of a; a zero divisor is a script error.
int Mod(int a, int b);
void SetSeed(unsigned int seed);

// The generator behind GetRand: glibc's rand() sequence, kept in the engine
// so that nothing else in the process can disturb a replay.
void SeedRandom(unsigned int seed);
int NextRandom();

}  // namespace base
