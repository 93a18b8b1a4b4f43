// The instance pool and the eight lists (intrusive, O(1) spawn and return),
// walks that survive their callbacks, disposal and the parent/child links.
#include "object/instance.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

#include "base/error.h"
#include "base/log.h"
#include "base/memory_budget.h"
#include "object/geometry.h"
#include "script/host.h"

namespace object {

std::uint32_t LayoutVersion = 0;

namespace {

struct ListHead {
  Instance* head = nullptr;
  Instance* tail = nullptr;
  int count = 0;
  ListWalk* walks = nullptr;  // innermost walk first
};

Instance pool_instances[kPoolSize];
ListHead lists[kListCount];
ListHead free_list;

// Only the enemy lists' order and contents matter to the hit test.
void NoteListChange(const ListHead& head) {
  if (&head == &lists[kEnemy0] || &head == &lists[kEnemy1]) ++LayoutVersion;
}

void Unlink(ListHead& head, Instance* i) {
  NoteListChange(head);
  (i->prev ? i->prev->next : head.head) = i->next;
  (i->next ? i->next->prev : head.tail) = i->prev;
  i->prev = i->next = nullptr;
  --head.count;
}

void PushFront(ListHead& head, Instance* i) {
  NoteListChange(head);
  i->prev = nullptr;
  i->next = head.head;
  (head.head ? head.head->prev : head.tail) = i;
  head.head = i;
  ++head.count;
}

// Copies a callback name into an instance's string. The string keeps the
// room of the longest name it held (clearing it keeps the room), so only
// growth is charged to the memory budget, and that stays with the pool.
// Not enough memory is a script error naming `function`; `kept` is
// unchanged then.
void KeepName(std::string& kept, const char* name, const char* function) {
  if (!name) name = "";
  if (std::strlen(name) <= kept.capacity()) {
    kept = name;
    return;
  }
  std::string grown(name);
  const std::size_t before = base::HeapBytes(kept), after = base::HeapBytes(grown);
  if (after > before) base::Charge(function, after - before);
  else base::Release(before - after);
  kept.swap(grown);
}

void PushBack(ListHead& head, Instance* i) {
  NoteListChange(head);
  i->next = nullptr;
  i->prev = head.tail;
  (head.tail ? head.tail->next : head.head) = i;
  head.tail = i;
  ++head.count;
}

void EraseAll(std::vector<Instance*>& v, Instance* i) {
  v.erase(std::remove(v.begin(), v.end(), i), v.end());
}

void EraseOne(std::vector<Instance*>& v, Instance* i) {
  auto it = std::find(v.begin(), v.end(), i);
  if (it != v.end()) v.erase(it);
}

// Cuts every parent/child link of the instance. Children that still take
// their position from it keep their place on the screen: their offset
// becomes the absolute position they had.
void CutLinks(Instance* i) {
  NoteLayoutChange(i);
  if (i->adopted_by.empty() && i->children.empty()) {
    i->parent = nullptr;
    return;
  }
  const base::FIXED ax = static_cast<base::FIXED>(static_cast<std::uint32_t>(GetX(i)) << 16);
  const base::FIXED ay = static_cast<base::FIXED>(static_cast<std::uint32_t>(GetY(i)) << 16);
  for (Instance* a : i->adopted_by) EraseAll(a->children, i);
  i->adopted_by.clear();
  for (Instance* c : i->children) {
    EraseOne(c->adopted_by, i);
    if (c->parent == i) {
      c->parent = nullptr;
      c->x = static_cast<base::FIXED>(static_cast<std::uint32_t>(c->x) +
                                      static_cast<std::uint32_t>(ax));
      c->y = static_cast<base::FIXED>(static_cast<std::uint32_t>(c->y) +
                                      static_cast<std::uint32_t>(ay));
    }
  }
  i->children.clear();
  i->parent = nullptr;
}

}  // namespace

ListWalk::ListWalk(List list) : list_(list), next_(lists[list].head), below_(lists[list].walks) {
  lists[list].walks = this;
}

ListWalk::ListWalk(List list, Instance* from)
    : list_(list), next_(from), below_(lists[list].walks) {
  assert(!from || from->list == list);
  lists[list].walks = this;
}

ListWalk::~ListWalk() {
  assert(lists[list_].walks == this);
  lists[list_].walks = below_;
}

void ReturnToPool(Instance* i) {
  assert(i->list >= 0);
  ListHead& head = lists[i->list];
  for (ListWalk* w = head.walks; w; w = w->below_)
    if (w->next_ == i) w->next_ = i->next;
  Unlink(head, i);
  i->list = -1;
  ++i->generation;
  CutLinks(i);
  PushBack(free_list, i);
}

Instance* ListFront(List list) { return lists[list].head; }

Instance* PoolInstance(int index) {
  assert(index >= 0 && index < kPoolSize);
  return &pool_instances[index];
}

void InitPool() {
  for (ListHead& head : lists) {
    assert(!head.walks);
    head = ListHead();
  }
  ++LayoutVersion;  // the enemy lists are emptied here, not through Unlink
  free_list = ListHead();
  for (int n = 0; n < kPoolSize; ++n) {
    Instance& i = pool_instances[n];
    i.vel = 0;
    i.dir = i.state = i.anim = i.hit = 0;
    i.hp = i.age = 0;
    i.life = 0;
    i.updater.clear();
    i.disposer.clear();
    i.has_updater = i.has_disposer = false;
    i.index = n;
    script::SetNameSlot(UpdaterSlot(&i), nullptr);
    script::SetNameSlot(DisposerSlot(&i), nullptr);
    i.x = i.y = 0;
    i.object.reset();
    i.tick = 0;
    i.frame = 0;
    i.disposed = true;
    i.parent = nullptr;
    i.children.clear();
    i.adopted_by.clear();
    // Room for a few links, so that ordinary parenting never allocates.
    i.children.reserve(4);
    i.adopted_by.reserve(4);
    i.list = -1;
    PushBack(free_list, &i);
  }
}

std::vector<Instance*> ListContents(List list) {
  std::vector<Instance*> out;
  for (Instance* i = lists[list].head; i; i = i->next) out.push_back(i);
  return out;
}

int PoolFree() { return free_list.count; }

Instance* Spawn(List list, Object* kind, const char* updater, int x, int y, base::FIXED vel,
                int dir, std::uint8_t anim, std::int16_t life, const char* function) {
  CheckObject(kind, function);
  CheckFunctionName(function, updater);
  if (anim >= kind->animsize)
    base::Fail(function, "animation %d does not exist (the kind has %d)", anim, kind->animsize);
  Instance* i = free_list.head;
  if (!i) return nullptr;
  KeepName(i->updater, updater, function);
  script::SetNameSlot(UpdaterSlot(i), updater ? i->updater.c_str() : nullptr);
  script::SetNameSlot(DisposerSlot(i), nullptr);
  Unlink(free_list, i);
  // Links made to it while it was free (through a stale handle) end here.
  CutLinks(i);
  PushFront(lists[list], i);
  i->list = list;
  i->hit = 0;
  i->state = 0;
  i->tick = 0;
  i->age = 0;
  i->disposed = false;
  i->parent = nullptr;
  i->disposer.clear();
  i->has_disposer = false;
  i->hp = kind->hp;
  i->x = static_cast<base::FIXED>(static_cast<std::uint32_t>(x) << 16);
  i->y = static_cast<base::FIXED>(static_cast<std::uint32_t>(y) << 16);
  i->vel = vel;
  i->dir = static_cast<std::uint8_t>(dir);
  i->anim = anim;
  i->life = life;
  i->has_updater = updater != nullptr;
  i->object = kind;
  i->frame = kind->anims[anim].start;
  return i;
}

void NoteStillSpeed(const char* function, base::FIXED vel) {
  if (vel <= 0 || vel >= 256 || !base::NoticesOn()) return;
  const std::string v = std::to_string(vel);
  base::Notice("still speed", std::string(function) + ": a speed of " + v + " is " + v +
                                  "/65536 of a pixel a frame, which never moves (ToFIXED(" + v +
                                  ", 0) is " + v + " pixels a frame)");
}

#define SPAWN(name, list)                                                                      \
  Instance* name(Object* k, const char* u, int x, int y, base::FIXED v, int d, std::uint8_t a, \
                 std::int16_t l) {                                                             \
    NoteStillSpeed(#name, v);                                                                  \
    return Spawn(list, k, u, x, y, v, d, a, l, #name);                                         \
  }
SPAWN(AddEnemy0, kEnemy0)
SPAWN(AddEnemy1, kEnemy1)
SPAWN(AddEBullet, kEBullet)
SPAWN(AddPBullet, kPBullet)
SPAWN(AddLayer0, kLayer0)
SPAWN(AddLayer1, kLayer1)
SPAWN(AddLayer2, kLayer2)
SPAWN(AddLayer3, kLayer3)
#undef SPAWN

void ClearInstance() {
  for (int l = 0; l < kListCount; ++l)
    while (lists[l].head) ReturnToPool(lists[l].head);
}

int GetHP(Instance* i) { return i && i->object ? i->object->hp : 0; }

void SetParent(Instance* child, Instance* parent) {
  if (!child) return;
  NoteLayoutChange(child);
  if (!parent) {
    child->parent = nullptr;
    return;
  }
  for (Instance* p = parent; p; p = p->parent)
    if (p == child) base::Fail("SetParent", "an instance cannot be its own ancestor");
  child->parent = parent;
  // Listed once per parent: a repeated SetParent (say, every frame) would
  // otherwise grow the list without end. Disposal takes children by their
  // first entry and Dispose drops every entry, so no order changes.
  if (std::find(parent->children.begin(), parent->children.end(), child) ==
      parent->children.end()) {
    parent->children.push_back(child);
    child->adopted_by.push_back(parent);
  }
}

Instance* GetParent(Instance* i) { return i ? i->parent : nullptr; }

void CheckFunctionName(const char* function, const char* name) {
  if (name && std::strlen(name) > kMaxFunctionName)
    base::Fail(function, "the function name '%.32s...' is longer than %zu characters", name,
               kMaxFunctionName);
}

void SetUpdater(Instance* i, const char* name) {
  CheckFunctionName("SetUpdater", name);
  if (!i) return;
  KeepName(i->updater, name, "SetUpdater");
  i->has_updater = name != nullptr;
  script::SetNameSlot(UpdaterSlot(i), name ? i->updater.c_str() : nullptr);
}

void SetDisposer(Instance* i, const char* name) {
  CheckFunctionName("SetDisposer", name);
  if (!i) return;
  KeepName(i->disposer, name, "SetDisposer");
  i->has_disposer = name != nullptr;
  script::SetNameSlot(DisposerSlot(i), name ? i->disposer.c_str() : nullptr);
}

void Dispose(Instance* i) {
  if (!i || i->disposed) return;
  NoteLayoutChange(i);
  i->disposed = true;
  const std::uint32_t life = i->generation;
  // The name is read before the callback runs, so it may change the name.
  if (i->has_disposer) {
    script::CallFunction(DisposerSlot(i), i->disposer.c_str(), i->index);
    // Returned to the pool by the callback (ClearInstance): its links are
    // cut already, and any it has now belong to a new life.
    if (i->generation != life) return;
  }
  if (Instance* p = i->parent) {
    EraseAll(p->children, i);
    EraseAll(i->adopted_by, p);
  }
  i->parent = nullptr;
  // Children in attach order, depth first, after the own disposer. The
  // callbacks may change this list meanwhile, so each round erases the child
  // it disposed only if it is still there.
  while (!i->children.empty()) {
    Instance* c = i->children.front();
    c->parent = nullptr;
    Dispose(c);
    if (i->generation != life) return;
    auto it = std::find(i->children.begin(), i->children.end(), c);
    if (it != i->children.end()) {
      i->children.erase(it);
      EraseOne(c->adopted_by, i);
    }
  }
}

}  // namespace object
