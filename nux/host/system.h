// Facts about the machine the library runs on.
#pragma once

#include <cstdint>

namespace nux {

// Number of logical processors available to the process (at least 1).
int32_t CPUCount();

}  // namespace nux
