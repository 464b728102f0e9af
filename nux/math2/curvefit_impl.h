// What TCurveFit keeps of its last fit for Predict, shared by the curve-fit sources only.
#pragma once

#include <cstdint>
#include <functional>

#include "nux/math2/curvefit.h"
#include "nux/math2/math2_impl.h"

namespace nux {

struct TCurveFit::TFitStore {
  // The straight line of CalcLinFit keeps its centred sums; the other fits their decomposition.
  bool IsLine = false;
  double LineMeanX = 0, LineSxx = 0;
  math2_detail::TLsq L;
  // Fills the design row of the fit at x (false where the regressors are undefined).
  std::function<bool(double, double*)> Row;
  int32_t NParams = 0;  // parameters the fit used (rank kept)
};

}  // namespace nux
