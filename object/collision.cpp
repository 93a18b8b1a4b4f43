// Collision checks (placeholder until the objects work lands).
#include "object/collision.h"

namespace object {

bool Touch(Instance*, Instance*) { return false; }
void CheckEnemy(Instance*, const char*) {}
void CheckEBullet(Instance*, const char*) {}
void SetDamage(int, int, int, int) {}

}  // namespace object
