#include "nux/host/system.h"

#include <sched.h>
#include <unistd.h>

#include <thread>

namespace nux {

int32_t CPUCount() {
  // The affinity mask is what the process may really use; hardware_concurrency ignores it.
  cpu_set_t Set;
  CPU_ZERO(&Set);
  if (sched_getaffinity(0, sizeof(Set), &Set) == 0) {
    const int N = CPU_COUNT(&Set);
    if (N > 0) return N;
  }
  const unsigned H = std::thread::hardware_concurrency();
  return H > 0 ? static_cast<int32_t>(H) : 1;
}

uint64_t PhysicalMemoryBytes() {
  const long Pages = sysconf(_SC_PHYS_PAGES);
  const long PageSize = sysconf(_SC_PAGESIZE);
  if (Pages <= 0 || PageSize <= 0) return 0;
  return static_cast<uint64_t>(Pages) * static_cast<uint64_t>(PageSize);
}

bool AllocationPlausible(uint64_t Count, uint64_t ElemSize) {
  uint64_t Bytes = 0;
  if (__builtin_mul_overflow(Count, ElemSize, &Bytes)) return false;
  static const uint64_t Physical = PhysicalMemoryBytes();
  return Physical == 0 || Bytes <= Physical;
}

}  // namespace nux
