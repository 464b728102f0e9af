// Integer plane point and rectangle of the host layer (pixel coordinates).
#pragma once

#include <cstdint>

namespace nux {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

}  // namespace nux
