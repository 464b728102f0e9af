// Facts about the machine the library runs on.
#pragma once

#include <cstdint>

namespace nux {

// Number of logical processors available to the process (at least 1).
int32_t CPUCount();

// Bytes of physical memory; 0 when the system does not say. A dense block larger than this
// cannot be worked on, so containers refuse it up front instead of paging the machine to death.
uint64_t PhysicalMemoryBytes();

// True when a block of Count elements of ElemSize bytes can be asked for at all: no overflow of
// the byte count and not beyond physical memory.
bool AllocationPlausible(uint64_t Count, uint64_t ElemSize);

}  // namespace nux
