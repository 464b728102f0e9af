// What TCurveFit keeps of its last fit for Predict, shared by the curve-fit sources only.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "nux/frame/moments.h"
#include "nux/math2/curvefit.h"
#include "nux/math2/math2_impl.h"

namespace nux {

struct TCurveFit::TFitStore {
  // The straight line of CalcLinFit keeps its centred sums; the other fits their decomposition.
  bool IsLine = false;
  double LineMeanX = 0, LineRootSxx = 0;  // mean of x, square root of its centred sum of squares
  math2_detail::TLsq L;
  // Fills the design row of the fit at x (false where the regressors are undefined).
  std::function<bool(double, double*)> Row;
  int32_t NParams = 0;  // parameters the fit used (rank kept)
};

namespace math2_detail {

// Centred sums of the pairs scaled by powers of two (exact), for data whose squares overflow:
// means, S2 of x and y and their co-sum, in units of 2^Ex and 2^Ey.
struct TScaledMoments {
  int Ex = 0, Ey = 0;
  double Mx = 0, My = 0, Sxx = 0, Syy = 0, Sxy = 0;
};

inline TScaledMoments ScaledMoments(const TDoubleArray& X, const TDoubleArray& Y) {
  TScaledMoments M;
  double Ax = 0, Ay = 0;
  for (size_t I = 0; I < X.size(); ++I) {
    Ax = std::max(Ax, std::abs(X[I]));
    Ay = std::max(Ay, std::abs(Y[I]));
  }
  M.Ex = Ax > 0 ? std::ilogb(Ax) : 0;
  M.Ey = Ay > 0 ? std::ilogb(Ay) : 0;
  const auto N = int64_t(X.size());
  auto Xs = [&](int64_t I) { return std::ldexp(X[size_t(I)], -M.Ex); };
  auto Ys = [&](int64_t I) { return std::ldexp(Y[size_t(I)], -M.Ey); };
  const TCentralSums Cx = CentralSums(N, Xs), Cy = CentralSums(N, Ys);
  M.Mx = Cx.Mean;
  M.My = Cy.Mean;
  M.Sxx = Cx.S2;
  M.Syy = Cy.S2;
  M.Sxy = CentralCoSum(N, Xs, Ys, Cx.Mean, Cy.Mean);
  return M;
}

}  // namespace math2_detail

}  // namespace nux
