// Positions, distances and directions of instances (absolute through the
// parent chain; nil stands for the screen centre).
#pragma once
#include <cstdint>

#include "object/instance.h"

namespace object {

int GetX(Instance* i);
int GetY(Instance* i);
void SetX(Instance* i, int v);
void SetY(Instance* i, int v);
int GetDist(Instance* a, Instance* b);
std::uint8_t GetDir(Instance* a, Instance* b);
int GetDestDist(Instance* a, int x, int y);
std::uint8_t GetDestDir(Instance* a, int x, int y);
// The coarse arctangent: direction of the offset (dx, dy), 0..120.
int DirectionOf(int dx, int dy);
// Largest i with TanTable[i] < r, or 30 above TanTable[29].
int TangentIndex(int r);

}  // namespace object
