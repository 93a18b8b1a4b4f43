// Instances, the pool of exactly 1000 and the eight instance lists.
// Invariants: every instance is in exactly one of the pool or the eight
// lists; a listed instance is never handed out by a spawn; an instance that
// returns to the pool is cut from every parent/child link of its former life.
// Each instance keeps its pool index for the whole run: the script host
// gives it one script handle by that index.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <boost/intrusive_ptr.hpp>

#include "engine/fixed.h"
#include "object/object.h"

namespace object {

constexpr int kPoolSize = 1000;

struct Instance {
  engine::FIXED vel = 0;
  std::uint8_t dir = 0;
  std::uint8_t state = 0;
  std::uint8_t anim = 0;
  std::uint8_t hit = 0;
  std::int32_t hp = 0;
  std::int32_t age = 0;
  std::int16_t life = 0;
  std::string updater;   // empty: none
  std::string disposer;  // empty: none
  engine::FIXED x = 0;
  engine::FIXED y = 0;
  boost::intrusive_ptr<Object> object;
  std::uint8_t tick = 0;
  std::int16_t frame = 0;
  bool disposed = true;
  Instance* parent = nullptr;
  std::vector<Instance*> children;
  int index = 0;  // position in the pool, fixed for the run
  int list = -1;  // which list holds it (List value), -1 in the pool

  virtual ~Instance() = default;
  virtual void Step();
};

enum List {
  kEnemy0, kEnemy1, kEBullet, kPBullet, kLayer0, kLayer1, kLayer2, kLayer3, kListCount
};

// All 1000 instances, by pool index.
Instance* PoolInstance(int index);
// Makes the 1000 instances and fills the pool (start-up step 6).
void InitPool();
// Instances in a list, front (newest) first; for tests and the render.
std::vector<Instance*> ListContents(List list);
int PoolFree();

// The eight spawns. A released or nil kind, or anim not below its animsize,
// is a script error naming the function; an empty pool gives nullptr.
Instance* AddEnemy0(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddEnemy1(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddEBullet(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                     std::uint8_t anim, std::int16_t life);
Instance* AddPBullet(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                     std::uint8_t anim, std::int16_t life);
Instance* AddLayer0(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer1(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer2(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer3(Object* kind, const char* updater, int x, int y, engine::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* Spawn(List list, Object* kind, const char* updater, int x, int y, engine::FIXED vel,
                int dir, std::uint8_t anim, std::int16_t life, const char* function);

void ClearInstance();
int GetHP(Instance* i);
void SetParent(Instance* child, Instance* parent);
Instance* GetParent(Instance* i);
void SetUpdater(Instance* i, const char* name);
void SetDisposer(Instance* i, const char* name);
void Dispose(Instance* i);

}  // namespace object
