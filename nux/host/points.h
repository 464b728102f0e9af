// Integer plane point and rectangle of the host layer (pixel coordinates).
#pragma once

#include <cstdint>

namespace nux {

// A point in pixel coordinates.
struct TPoint {
  // Horizontal coordinate.
  int32_t X = 0;
  // Vertical coordinate, growing downwards.
  int32_t Y = 0;
};

// A rectangle in pixel coordinates, given by its edges.
struct TRect {
  // Left edge.
  int32_t Left = 0;
  // Top edge.
  int32_t Top = 0;
  // Right edge.
  int32_t Right = 0;
  // Bottom edge.
  int32_t Bottom = 0;
};

}  // namespace nux
