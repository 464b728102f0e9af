// Shape checks shared by the region, edge, resampling, picture and inversion routines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace nux::regions_detail {

// True when A has at least one column and one row, every column has the length of the first,
// and both extents fit 32-bit indices.
template <class T>
bool RectangularExtents(const std::vector<std::vector<T>>& A, int32_t& Cols, int32_t& Rows) {
  constexpr size_t Limit = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  if (A.empty() || A[0].empty() || A.size() > Limit || A[0].size() > Limit) return false;
  const size_t R = A[0].size();
  for (const auto& Column : A)
    if (Column.size() != R) return false;
  Cols = static_cast<int32_t>(A.size());
  Rows = static_cast<int32_t>(R);
  return true;
}

}  // namespace nux::regions_detail
