#include "nux/frame/access.h"

#include <atomic>

namespace nux {

namespace {
std::atomic<bool> GIndexChecking{false};
}  // namespace

void SetIndexChecking(bool On) { GIndexChecking.store(On, std::memory_order_relaxed); }

bool IndexChecking() { return GIndexChecking.load(std::memory_order_relaxed); }

std::string access_detail::IndexMessage(const char* What, int64_t Index, int64_t Size) {
  return std::string(What) + " index " + std::to_string(Index) + " outside 1.." +
         std::to_string(Size);
}

}  // namespace nux
