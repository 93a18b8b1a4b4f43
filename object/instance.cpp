// Instances and lists (placeholder until the objects work lands).
#include "object/instance.h"

namespace object {

namespace {
Instance pool[kPoolSize];
}

void Instance::Step() {}

Instance* PoolInstance(int index) { return &pool[index]; }
void InitPool() {
  for (int i = 0; i < kPoolSize; ++i) pool[i].index = i;
}
std::vector<Instance*> ListContents(List) { return {}; }
int PoolFree() { return kPoolSize; }

Instance* Spawn(List, Object*, const char*, int, int, engine::FIXED, int, std::uint8_t,
                std::int16_t, const char*) {
  return nullptr;
}
#define SPAWN(name, list)                                                                     \
  Instance* name(Object* k, const char* u, int x, int y, engine::FIXED v, int d, std::uint8_t a, \
                 std::int16_t l) {                                                            \
    return Spawn(list, k, u, x, y, v, d, a, l, #name);                                        \
  }
SPAWN(AddEnemy0, kEnemy0)
SPAWN(AddEnemy1, kEnemy1)
SPAWN(AddEBullet, kEBullet)
SPAWN(AddPBullet, kPBullet)
SPAWN(AddLayer0, kLayer0)
SPAWN(AddLayer1, kLayer1)
SPAWN(AddLayer2, kLayer2)
SPAWN(AddLayer3, kLayer3)

void ClearInstance() {}
int GetHP(Instance*) { return 0; }
void SetParent(Instance*, Instance*) {}
Instance* GetParent(Instance*) { return nullptr; }
void SetUpdater(Instance*, const char*) {}
void SetDisposer(Instance*, const char*) {}
void Dispose(Instance*) {}

}  // namespace object
