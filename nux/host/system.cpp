#include "nux/host/system.h"

#include <sched.h>

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

}  // namespace nux
