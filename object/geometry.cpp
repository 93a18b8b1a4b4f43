// Geometry queries (placeholder until the objects work lands).
#include "object/geometry.h"

namespace object {

int GetX(Instance*) { return 160; }
int GetY(Instance*) { return 120; }
void SetX(Instance*, int) {}
void SetY(Instance*, int) {}
int GetDist(Instance*, Instance*) { return 99999; }
std::uint8_t GetDir(Instance*, Instance*) { return 30; }
int GetDestDist(Instance*, int, int) { return 99999; }
std::uint8_t GetDestDir(Instance*, int, int) { return 30; }
int DirectionOf(int, int) { return 30; }
int TangentIndex(int) { return 0; }

}  // namespace object
