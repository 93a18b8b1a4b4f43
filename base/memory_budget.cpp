// The memory budget's counter and its refusals (see memory_budget.h).
#include "base/memory_budget.h"

#include "base/error.h"

namespace base {

namespace budget_detail {
std::size_t in_use = 0;
bool refused = false;
}  // namespace budget_detail

namespace {
void (*reclaimer)() = nullptr;
bool reclaiming = false;
}  // namespace

void SetMemoryReclaimer(void (*reclaim)()) { reclaimer = reclaim; }

bool TryCharge(std::size_t bytes) {
  constexpr std::size_t kLimit = kMemoryLimit - kErrorReserve;
  if (TryChargeNow(bytes, kLimit)) return true;
  // A reclaim runs finalizers, which may charge again: those get no reclaim
  // of their own.
  if (!reclaimer || reclaiming) return false;
  reclaiming = true;
  reclaimer();
  reclaiming = false;
  return TryChargeNow(bytes, kLimit);
}

void Charge(const char* function, std::size_t bytes) {
  if (!TryCharge(bytes)) Fail(function, "not enough memory");
}

bool TakeRefusal() {
  const bool was = budget_detail::refused;
  budget_detail::refused = false;
  return was;
}

}  // namespace base
