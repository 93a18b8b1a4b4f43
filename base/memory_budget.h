// One budget for all the memory a script can make the engine hold: the Lua
// heap and what the engine keeps on a script's behalf (events, replay
// records, sprite sets, kinds, samples, names, the replay listing). Every
// holder charges before it keeps and releases what it charged when it lets
// go, so the total in use never passes kMemoryLimit.
#pragma once
#include <cstddef>
#include <string>

namespace base {

constexpr std::size_t kMemoryLimit = std::size_t{512} << 20;
// The engine's own charges stop this far below the limit, so that the
// script error reporting a refusal still finds memory for its message.
constexpr std::size_t kErrorReserve = std::size_t{64} << 10;
// What one heap block costs beyond its bytes (the allocator's header and
// rounding), so that charges follow what the process really takes.
constexpr std::size_t kBlockOverhead = 16;

namespace budget_detail {
extern std::size_t in_use;
extern bool refused;
}  // namespace budget_detail

// Counts `bytes` when the total stays within `limit`; false (nothing
// counted) otherwise. Never reclaims: Lua's allocator calls it (with the
// whole limit), and Lua cannot collect from inside an allocation.
inline bool TryChargeNow(std::size_t bytes, std::size_t limit = kMemoryLimit) {
  if (budget_detail::in_use > limit || bytes > limit - budget_detail::in_use) {
    budget_detail::refused = true;
    return false;
  }
  budget_detail::in_use += bytes;
  return true;
}

inline void Release(std::size_t bytes) {
  budget_detail::in_use -= bytes < budget_detail::in_use ? bytes : budget_detail::in_use;
}

inline std::size_t MemoryInUse() { return budget_detail::in_use; }

// Called when a charge does not fit, before it is refused: frees what is no
// longer reachable (the script host collects garbage, which lets go of
// sprite sets, kinds and samples whose handles were dropped).
void SetMemoryReclaimer(void (*reclaim)());

// An engine charge: TryChargeNow below the error reserve, and when that
// fails, once more after the reclaimer ran.
bool TryCharge(std::size_t bytes);
// TryCharge, or base::Fail(function, "not enough memory").
void Charge(const char* function, std::size_t bytes);

// True when a charge was refused since the last call (then clears it): the
// error being reported may be the refusal, and reporting needs memory.
bool TakeRefusal();

// The heap bytes a string's text takes, 0 when it is stored in the string
// object itself (short strings).
inline std::size_t HeapBytes(const std::string& s) {
  const char* self = reinterpret_cast<const char*>(&s);
  if (s.data() >= self && s.data() < self + sizeof s) return 0;
  return s.capacity() + 1 + kBlockOverhead;
}

}  // namespace base
