#include "nux/math2/fishq.h"

#include <algorithm>

namespace nux::math2 {

double CalcFishQ(double mean1, double mean2, double sd1, double sd2) {
  const double D = mean1 - mean2;
  return D * D / std::max(sd1 * sd1 + sd2 * sd2, 1e-6);
}

}  // namespace nux::math2
