// Instances, the pool of exactly 1000 and the eight instance lists.
// Invariants: every instance is in exactly one of the pool or the eight
// lists; a listed instance is never handed out by a spawn; an instance that
// returns to the pool (or is spawned again) is cut from every parent/child
// link of its former life; parent chains never loop. Each instance keeps its
// pool index for the whole run: the script host gives it one script handle
// by that index.
//
// Lists are intrusive (prev/next) so that spawns, removals and returns are
// O(1) and allocate nothing. Walks over a list (ListWalk) stay valid whatever
// their callbacks do:
// - a spawn puts the new instance at the front, so a walk in progress does
//   not visit it;
// - a nested walk (CheckEnemy, CheckEBullet, SetDamage, or Update itself,
//   called from a callback) may return elements to the pool; a walk standing
//   before such an element steps over it;
// - ClearInstance returns every listed instance at once: every walk in
//   progress ends after the callback that called it returns, and the
//   instance that callback was made for is not dealt with any further (it
//   is in the pool). Walks that start later in the same UpdateWorld see the
//   lists as they then are (holding only what was spawned since).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <boost/intrusive_ptr.hpp>

#include "base/fixed.h"
#include "object/object.h"

namespace object {

constexpr int kPoolSize = 1000;

struct Instance {
  base::FIXED vel = 0;
  std::uint8_t dir = 0;
  std::uint8_t state = 0;
  std::uint8_t anim = 0;
  std::uint8_t hit = 0;
  std::int32_t hp = 0;
  std::int32_t age = 0;
  std::int16_t life = 0;
  // The script functions named for it; "" is a name like any other, and
  // only a nil name (has_... false) means none. Each is also kept in the
  // script host's name slot UpdaterSlot / DisposerSlot (script::SetNameSlot).
  std::string updater;
  std::string disposer;
  bool has_updater = false;
  bool has_disposer = false;
  base::FIXED x = 0;
  base::FIXED y = 0;
  boost::intrusive_ptr<Object> object;
  std::uint8_t tick = 0;
  std::int16_t frame = 0;
  bool disposed = true;
  Instance* parent = nullptr;
  std::vector<Instance*> children;
  int index = 0;  // position in the pool, fixed for the run
  int list = -1;  // which list holds it (List value), -1 in the pool

  // Neighbours in the list or the pool that holds it.
  Instance* prev = nullptr;
  Instance* next = nullptr;
  // Counts returns to the pool: a walk that finds it changed after a
  // callback knows that the instance left its list meanwhile.
  std::uint32_t generation = 0;
  // The instances whose `children` name this one (SetParent does not take a
  // child from an earlier parent's list), so that a return to the pool can
  // cut every such link.
  std::vector<Instance*> adopted_by;

  virtual ~Instance() = default;
  // One step of the world update: updater, motion, animation, life count.
  virtual void Step();
};

enum List { kEnemy0, kEnemy1, kEBullet, kPBullet, kLayer0, kLayer1, kLayer2, kLayer3, kListCount };

// All 1000 instances, by pool index.
Instance* PoolInstance(int index);
// The script handle of an instance: its pool index (script::kNoHandle for none).
inline int HandleOf(const Instance* i) { return i ? i->index : -1; }
// The script host's name slots of the instances' updaters and disposers
// (script::ReserveNameSlots(kNameSlots) once the handles are made).
constexpr int kNameSlots = 2 * kPoolSize;
inline int UpdaterSlot(const Instance* i) { return 2 * i->index; }
inline int DisposerSlot(const Instance* i) { return 2 * i->index + 1; }
// Makes the 1000 instances and fills the pool (start-up step 6). Called
// again (tests), it empties every list and resets every instance.
void InitPool();
// Instances in a list, front (newest) first; for benchmarks.
std::vector<Instance*> ListContents(List list);
// The first instance of a list (then follow `next`), nullptr when empty.
Instance* ListFront(List list);

// Bumped by every change that can move an enemy on the screen, change its
// size, list or disposal: the enemy lists' changes, kinds' sizes, and the
// positions, parents, links, disposals and motion of enemies and parents.
// The hit test keeps what it gathered while this stays the same.
extern std::uint32_t LayoutVersion;
// Bumps LayoutVersion for a change to `i` when the hit test can see it: `i`
// is an enemy, or a parent (its children may be enemies or their parents).
// Other instances (most bullets and layer pieces) change nothing it keeps.
inline void NoteLayoutChange(const Instance* i) {
  if (i->list == kEnemy0 || i->list == kEnemy1 || !i->children.empty()) ++LayoutVersion;
}
int PoolFree();

// The eight spawns. A released or nil kind, or anim not below its animsize,
// is a script error naming the function and spawns nothing; an empty pool
// gives nullptr (nil).
Instance* AddEnemy0(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddEnemy1(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddEBullet(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                     std::uint8_t anim, std::int16_t life);
Instance* AddPBullet(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                     std::uint8_t anim, std::int16_t life);
Instance* AddLayer0(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer1(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer2(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
Instance* AddLayer3(Object* kind, const char* updater, int x, int y, base::FIXED vel, int dir,
                    std::uint8_t anim, std::int16_t life);
// `function` names the caller in errors (a spawn event passes its own name).
Instance* Spawn(List list, Object* kind, const char* updater, int x, int y, base::FIXED vel,
                int dir, std::uint8_t anim, std::int16_t life, const char* function);

// A speed of 1 to 255 (1/65536 of a pixel a frame and more) never moves the
// instance: the step moves by whole 1/256 pixels. It is kept as it is, and
// the author hears of it (base::Notice): mostly a whole number of pixels
// written without ToFIXED. `function` names where it was given.
void NoteStillSpeed(const char* function, base::FIXED vel);

// Returns every listed instance to the pool (see the walk rules above).
void ClearInstance();
int GetHP(Instance* i);
// A parent that is the child or one of its descendants is a script error;
// a nil parent clears the child's parent (earlier parents keep listing it).
// A child is listed at most once by each parent.
void SetParent(Instance* child, Instance* parent);
Instance* GetParent(Instance* i);
// Names of script functions that the engine keeps (updaters, disposers,
// timeline events) are at most this long: a copy outside the script heap
// must not let a script take memory without limit.
constexpr std::size_t kMaxFunctionName = 255;
// Fails for `function` when a non-nil name is longer than kMaxFunctionName.
void CheckFunctionName(const char* function, const char* name);
void SetUpdater(Instance* i, const char* name);
void SetDisposer(Instance* i, const char* name);
void Dispose(Instance* i);

// Engine-internal.

// Takes a listed instance off its list, appends it to the pool and cuts its
// links; walks in progress step over it.
void ReturnToPool(Instance* i);

// A walk over one list, front to back:
//   for (ListWalk walk(kEnemy0); Instance* e = walk.Next();) {
//     std::uint32_t g = e->generation;  ... callbacks ...  walk.Finish(e, g);
//   }
// Walks nest (LIFO) and unwind with exceptions.
class ListWalk {
 public:
  explicit ListWalk(List list);
  // A walk that begins at `from`, an instance of the list (or nullptr: none).
  ListWalk(List list, Instance* from);
  ~ListWalk();
  ListWalk(const ListWalk&) = delete;
  ListWalk& operator=(const ListWalk&) = delete;

  Instance* Next() {
    Instance* current = next_;
    if (current) next_ = current->next;
    return current;
  }
  // After an element has been dealt with: returns it to the pool when it
  // is disposed and still in this list in the same life.
  static void Finish(Instance* i, std::uint32_t generation) {
    if (i->generation == generation && i->disposed) ReturnToPool(i);
  }

 private:
  friend void ReturnToPool(Instance* i);
  friend void InitPool();
  List list_;
  Instance* next_;
  ListWalk* below_;
};

}  // namespace object
