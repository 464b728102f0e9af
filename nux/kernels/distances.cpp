#include "nux/kernels/distances.h"

#include "nux/kernels/columnops.h"
#include "nux/kernels/dispatch.h"
#include "nux/kernels/distance.h"

namespace nux::kernels {

namespace {
[[gnu::always_inline]] inline void DistancesBody(const double* W, size_t Stride, size_t M,
                                                 const double* Z, size_t N, double* D) {
  SquaredDistancesBody(W, Stride, M, Z, N, D);
}
}  // namespace

void SquaredDistances(const double* W, size_t Stride, size_t M, const double* Z, size_t N,
                      double* D) {
  TPathVariants<&DistancesBody>::For(ActivePath(arWidest))(W, Stride, M, Z, N, D);
}

size_t FirstSmallest(const double* D, size_t M) {
  const double Mn = TPathVariants<&SmallestBody>::For(ActivePath(arWidest))(D, M);
  // Then the first position holding it; when every D[j] is NaN none does, and 0 wins.
  for (size_t J = 0; J < M; ++J)
    if (D[J] == Mn) return J;
  return 0;
}

namespace {
template <int Kind>
void RowDistancesOf(const double* const* Cols, size_t NCols, const double* Q, size_t R0, size_t N,
                    double* Out) {
  TPathVariants<&RowDistancesBody<Kind>>::For(ActivePath(arWidest))(Cols, NCols, Q, R0, N, Out);
}
}  // namespace

void RowDistances(int32_t Kind, const double* const* Cols, size_t NCols, const double* Q, size_t R0,
                  size_t N, double* Out) {
  switch (Kind) {
    case rdTanimoto:
      return RowDistancesOf<rdTanimoto>(Cols, NCols, Q, R0, N, Out);
    case rdCityBlock:
      return RowDistancesOf<rdCityBlock>(Cols, NCols, Q, R0, N, Out);
    case rdEuclid:
      return RowDistancesOf<rdEuclid>(Cols, NCols, Q, R0, N, Out);
    case rdEuclidSqr:
      return RowDistancesOf<rdEuclidSqr>(Cols, NCols, Q, R0, N, Out);
    case rdDice:
      return RowDistancesOf<rdDice>(Cols, NCols, Q, R0, N, Out);
    default:
      return;
  }
}

}  // namespace nux::kernels
