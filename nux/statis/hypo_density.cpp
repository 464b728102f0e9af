#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"
#include "nux/statis/hypo_impl.h"
#include "nux/statis/hypotests.h"
#include "nux/vector/vector.h"

namespace nux {

int32_t EstimateProbDensity(TVector& data, TVector& density, double x1, double x2, double factor,
                            double window, int32_t steps, int32_t& MinIx, int32_t& MaxIx,
                            const TOnPercentDoneEvent& progress) {
  int32_t Status = 0;
  if (steps < 10 || steps > 10000) Status = -1;
  if (!(factor > 0.0)) Status = -2;
  if (Status != 0) return Status;
  if (!hypo_detail::AllFinite(data.Data()) || !std::isfinite(x1) || !std::isfinite(x2) ||
      !std::isfinite(factor))
    return -3;
  if (!(window > 0.0) || !std::isfinite(window)) return -4;
  data.SortElems(true, 0, 0);
  const std::vector<double>& X = data.Data();
  const auto N = static_cast<int64_t>(X.size());
  // Progress over both passes (one unit per data point in each), every percentage once.
  const double Work = 2.0 * static_cast<double>(N);
  int32_t LastPct = -1;
  auto Report = [&](int64_t Done) {
    if (!progress) return;
    const int32_t Pct = RoundToInt32(100.0 * static_cast<double>(Done) / Work);
    if (Pct != LastPct) {
      LastPct = Pct;
      progress(&data, Pct);
    }
  };
  // Local widths. The gaps x_j - x_(j-1) of the neighbours closer than window telescope to the
  // span they cover, so a search each way in the sorted data gives the sum and the count: above
  // i the neighbours i+1 .. J, below i the neighbours L .. i-1 with L >= 1 (x_0 has no gap
  // below it). This keeps the cost at n log n also when many values coincide.
  std::vector<double> H(static_cast<size_t>(N));
  for (int64_t I = 0; I < N; ++I) {
    const double Xi = X[I];
    const int64_t Above = std::partition_point(X.begin() + I + 1, X.end(),
                                               [&](double V) { return V - Xi < window; }) -
                          X.begin();  // one past J
    const int64_t L = std::partition_point(X.begin() + std::min<int64_t>(1, I), X.begin() + I,
                                           [&](double V) { return !(Xi - V < window); }) -
                      X.begin();
    const int64_t CUp = Above - 1 - I, CDown = I > L ? I - L : 0;
    const double Sum =
        (CUp > 0 ? X[Above - 1] - Xi : 0.0) + (CDown > 0 ? X[I - 1] - X[L - 1] : 0.0);
    const double C = static_cast<double>(CUp + CDown);
    const double Wi = C == 0.0 ? window : (Sum == 0.0 ? window / C : Sum / C);
    const double Hi = factor * Wi;
    H[I] = Hi == 0.0 ? factor : Hi;
    Report(I + 1);
  }
  // Each point adds to the grid points within 40 widths of it: beyond, its kernel underflows to
  // exactly 0, so the sums (taken in the same order per grid point) are the full sums.
  std::vector<double> Dens(static_cast<size_t>(steps) + 1, 0.0);
  const double Span = x2 - x1, Dx = Span / steps;
  for (int64_t I = 0; I < N; ++I) {
    const double Xi = X[I], Hi = H[I], InvH = 1.0 / Hi;
    int64_t Lo = 0, Hi2 = steps;
    if (Dx != 0.0) {
      const double A = (Xi - 40.0 * Hi - x1) / Dx, B = (Xi + 40.0 * Hi - x1) / Dx;
      const double SLo = std::ceil(std::min(A, B)), SHi = std::floor(std::max(A, B));
      Lo = SLo <= 0.0 ? 0 : (SLo > steps ? steps + 1 : static_cast<int64_t>(SLo));
      Hi2 = SHi >= steps ? steps : (SHi < 0.0 ? -1 : static_cast<int64_t>(SHi));
    }
    for (int64_t S = Lo; S <= Hi2; ++S) {
      const double Xs = x1 + static_cast<double>(S) * Span / steps;
      const double Z = (Xs - Xi) / Hi;
      Dens[S] += InvH * std::exp(-Z * Z / 2.0);
    }
    Report(N + I + 1);
  }
  const double Scale = uc_sqrt2pitom1 / static_cast<double>(N);
  MinIx = MaxIx = 1;
  for (size_t S = 0; S < Dens.size(); ++S) {
    Dens[S] *= Scale;
    if (Dens[S] > Dens[MaxIx - 1]) MaxIx = static_cast<int32_t>(S + 1);
    if (Dens[S] < Dens[MinIx - 1]) MinIx = static_cast<int32_t>(S + 1);
  }
  density.SetValues(Dens);
  return 0;
}

}  // namespace nux
