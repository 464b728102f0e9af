#include "nux/frame/univconst.h"

#include <cmath>

namespace nux {

namespace {

const std::array<double, uc_LnFactorialMax + 1>& LnFactorialTable() {
  static const auto Table = [] {
    std::array<double, uc_LnFactorialMax + 1> T{};
    // lgamma is correctly rounded to within an ulp or so; a running sum of logs would drift.
    for (int32_t K = 2; K <= uc_LnFactorialMax; ++K)
      T[static_cast<size_t>(K)] = std::lgamma(K + 1.0);
    return T;
  }();
  return Table;
}

}  // namespace

const std::array<double, uc_LnFactorialMax + 1>& uc_LnFactorial = LnFactorialTable();

}  // namespace nux
